#pragma once

#include <QWidget>

class QTabBar;

namespace zelvo::app {

// A tab control whose pages span the whole control, tab row included, so that page children
// are placed relative to the control's own top-left corner.
class TabControl : public QWidget {
    Q_OBJECT
public:
    explicit TabControl(QWidget* parent = nullptr);

    // Adds a page with the given caption; the page widget is owned by the control.
    QWidget* addPage(const QString& caption, const QString& objectName);
    int count() const;
    int currentIndex() const;
    void setCurrentIndex(int index);
    QTabBar* tabBar() const { return tabBar_; }

signals:
    void currentChanged(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void showPage(int index);

    QTabBar* tabBar_;
    QList<QWidget*> pages_;
};

}  // namespace zelvo::app
