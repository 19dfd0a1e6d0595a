#pragma once

#include <QUrl>
#include <QWidget>

namespace zelvo::app {

// The embedded browser of the notices page. The web engine is loaded and started only once the
// window is on screen (startEngine), so it never delays the window's first showing; a
// navigation asked for before that is remembered and carried out then.
class WebBrowser : public QWidget {
    Q_OBJECT
public:
    explicit WebBrowser(QWidget* parent = nullptr);

    void navigate(const QUrl& url);
    // Silent: the page's script dialogs, errors and requests open no dialog box.
    void setSilent(bool silent);
    bool silent() const { return silent_; }
    // Where the browser was last sent; known before the engine starts.
    QUrl requestedUrl() const { return url_; }

    void startEngine();

signals:
    void loadFinished(bool ok);

private:
    QWidget* view_ = nullptr;
    QUrl url_;
    bool silent_ = false;
};

}  // namespace zelvo::app
