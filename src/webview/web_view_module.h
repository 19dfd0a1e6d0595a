#pragma once

class QWidget;

// The one entry point of the web view module: makes a web view inside parent. While *silent is
// true the page's script dialogs, console messages, file choosers and certificate errors open
// no dialog box. The view has the properties url and title and the signal loadFinished(bool).
extern "C" using CreateWebViewFunction = QWidget * (*)(QWidget * parent, const bool* silent);
inline constexpr const char* kCreateWebViewSymbol = "zelvoCreateWebView";
inline constexpr const char* kWebViewModuleName = "zelvo_webview";
