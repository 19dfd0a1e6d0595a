#pragma once

#include <QUrl>
#include <QWidget>

class QWebEngineView;

namespace zelvo::app {

// The embedded browser of the notices page. The web engine is started only once the window
// is on screen (startEngine), so it never delays the window's first showing; a navigation
// asked for before that is remembered and carried out then.
class WebBrowser : public QWidget {
    Q_OBJECT
public:
    explicit WebBrowser(QWidget* parent = nullptr);

    void Navigate(const QUrl& url);
    // Silent: the page's script dialogs, errors and requests open no dialog box.
    void setSilent(bool silent);
    bool silent() const { return silent_; }
    QUrl requestedUrl() const { return url_; }

    void startEngine();
    QWebEngineView* view() const { return view_; }

signals:
    void loadFinished(bool ok);

private:
    QWebEngineView* view_ = nullptr;
    QUrl url_;
    bool silent_ = false;
};

}  // namespace zelvo::app
