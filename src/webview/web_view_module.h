#pragma once

#include <QtPlugin>

class QUrl;
class QWidget;

namespace zelvo::webview {

// What the web view module offers the window: a view of a web page that opens no dialog box of
// its own (script dialogs, console messages, file choosers and certificate errors go nowhere)
// and keeps no cookies or cache beside the program.
class WebViewModule {
public:
    virtual ~WebViewModule() = default;
    // A view inside parent that loads url in the background.
    virtual QWidget* createView(const QUrl& url, QWidget* parent) = 0;
};

inline constexpr const char* kWebViewModuleName = "zelvo_webview";

}  // namespace zelvo::webview

#define ZELVO_WEB_VIEW_MODULE_IID "com.example.zelvo.WebViewModule/1"
Q_DECLARE_INTERFACE(zelvo::webview::WebViewModule, ZELVO_WEB_VIEW_MODULE_IID)
