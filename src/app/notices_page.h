#pragma once

#include <QUrl>
#include <QWidget>

class QTextBrowser;

namespace zelvo::app {

// The notices page. A local page, such as the one bundled with the program, is shown in a text
// view that needs no OpenGL and no web engine; its links to web pages are handed on through
// externalLinkActivated. Only a page on the web needs the web view module: it is loaded the
// first time the page is shown, after the page around it has been painted, and when it cannot
// be loaded the page stays empty.
class NoticesPage : public QWidget {
    Q_OBJECT
public:
    explicit NoticesPage(QWidget* parent = nullptr);

    // Shows url; a local page at its #part, if it has one.
    void setSource(const QUrl& url);
    QUrl source() const { return source_; }

    // Whether url is a page on the web, which only the web view module shows.
    static bool needsWebView(const QUrl& url);

signals:
    // A link to anything but a part of the page shown was clicked.
    void externalLinkActivated(const QUrl& url);

protected:
    void showEvent(QShowEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    void openLink(const QUrl& link);
    void startWebView();

    QTextBrowser* text_;
    QWidget* webView_ = nullptr;
    QUrl source_;
    bool webViewRequested_ = false;
};

}  // namespace zelvo::app
