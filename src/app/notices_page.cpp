#include "app/notices_page.h"

#include <QCoreApplication>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/module_loader.h"
#include "webview/web_view_module.h"

namespace zelvo::app {

namespace {

const QEvent::Type kStartWebViewEvent = QEvent::Type(QEvent::registerEventType());

QUrl withoutPart(const QUrl& url) {
    return url.adjusted(QUrl::RemoveFragment);
}

}  // namespace

NoticesPage::NoticesPage(QWidget* parent) : QWidget(parent), text_(new QTextBrowser(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text_);
    text_->setObjectName(QStringLiteral("noticesText"));
    text_->setFrameShape(QFrame::NoFrame);
    // Links are followed here: a part of the page scrolls to it, anything else goes out.
    text_->setOpenLinks(false);
    connect(text_, &QTextBrowser::anchorClicked, this, &NoticesPage::openLink);
    setFocusProxy(text_);
}

bool NoticesPage::needsWebView(const QUrl& url) {
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

void NoticesPage::setSource(const QUrl& url) {
    source_ = url;
    setFocusProxy(text_);
    delete webView_;
    webView_ = nullptr;
    webViewRequested_ = false;
    if (needsWebView(url)) {
        text_->hide();
        if (isVisible()) {
            startWebView();
        }
        return;
    }
    text_->show();
    // The same page again only scrolls: QTextBrowser does not go back to a part it shows.
    if (withoutPart(text_->source()) == withoutPart(url) && !url.fragment().isEmpty()) {
        text_->scrollToAnchor(url.fragment());
    } else {
        text_->setSource(url);
    }
}

void NoticesPage::openLink(const QUrl& link) {
    const QUrl target = text_->source().resolved(link);
    if (withoutPart(target) == withoutPart(text_->source()) && !target.fragment().isEmpty()) {
        text_->scrollToAnchor(target.fragment());
    } else {
        emit externalLinkActivated(target);
    }
}

// Starting the web engine holds the event loop for a moment. Posted below the priority of paint
// requests, the start comes after the page has been painted in the window's background, so the
// click on its tab shows at once.
void NoticesPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    startWebView();
}

void NoticesPage::startWebView() {
    if (needsWebView(source_) && !webViewRequested_) {
        webViewRequested_ = true;
        QCoreApplication::postEvent(this, new QEvent(kStartWebViewEvent), Qt::LowEventPriority - 1);
    }
}

void NoticesPage::customEvent(QEvent* event) {
    if (event->type() != kStartWebViewEvent || webView_ || !needsWebView(source_)) {
        return;
    }
    QString whyNot;
    auto* module =
        loadModule<webview::WebViewModule>(webview::kWebViewModuleName, moduleFolders(), &whyNot);
    if (!module) {
        return;
    }
    webView_ = module->createView(source_, this);
    webView_->setObjectName(QStringLiteral("noticesWebView"));
    layout()->addWidget(webView_);
    setFocusProxy(webView_);
}

}  // namespace zelvo::app
