#pragma once

#include <QUrl>
#include <QWidget>

namespace zelvo::app {

// The embedded browser of the notices page. Most runs of the program never look at that page,
// and the web engine is heavy: it is loaded and started the first time the browser is shown,
// after the page around it has been painted. A navigation asked for before that is remembered
// and carried out then.
class WebBrowser : public QWidget {
    Q_OBJECT
public:
    // With engineAllowed false the engine never starts and the page stays empty.
    explicit WebBrowser(bool engineAllowed, QWidget* parent = nullptr);

    void navigate(const QUrl& url);
    // Silent: the page's script dialogs, errors and requests open no dialog box.
    void setSilent(bool silent);
    bool silent() const { return silent_; }
    // Where the browser was last sent; known before the engine starts.
    QUrl requestedUrl() const { return url_; }

signals:
    void loadFinished(bool ok);

protected:
    void showEvent(QShowEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    void startEngine();

    QWidget* view_ = nullptr;
    QUrl url_;
    bool silent_ = false;
    bool engineAllowed_;
    bool engineRequested_ = false;
};

}  // namespace zelvo::app
