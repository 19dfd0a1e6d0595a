#pragma once

#include <QListView>
#include <QStringList>
#include <vector>

class QStringListModel;

namespace zelvo::app {

// The number list: each click or Space toggles the pick of one entry and leaves the others
// alone. Click() is emitted for every change of a pick that the user makes, never for changes
// made through this class's own functions.
class PhoneListBox : public QListView {
    Q_OBJECT
public:
    explicit PhoneListBox(QWidget* parent = nullptr);

    int count() const;
    // All entry texts in list order; cheap, the list is implicitly shared.
    QStringList entries() const;
    void addEntry(const QString& text);
    void setEntries(const QStringList& entries);
    void clearEntries();

    std::vector<bool> picks() const;
    // Clears or sets a pick without raising Click().
    void setPicked(int row, bool picked);
    // Row of the entry that has the focus (the one last clicked), -1 when none.
    int currentRow() const;

signals:
    void Click();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QStringListModel* model_;
    bool programChange_ = false;
};

}  // namespace zelvo::app
