#include "app/web_browser.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QVBoxLayout>

#include "app/module_folders.h"
#include "webview/web_view_module.h"

namespace zelvo::app {

namespace {

const QEvent::Type kStartEngineEvent = QEvent::Type(QEvent::registerEventType());

CreateWebViewFunction loadWebViewModule() {
    for (const QString& folder : moduleFolders()) {
        QLibrary module(QDir(folder).filePath(QString::fromLatin1(kWebViewModuleName)));
        if (auto create =
                reinterpret_cast<CreateWebViewFunction>(module.resolve(kCreateWebViewSymbol))) {
            return create;
        }
    }
    return nullptr;
}

}  // namespace

WebBrowser::WebBrowser(bool engineAllowed, QWidget* parent)
    : QWidget(parent), engineAllowed_(engineAllowed) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

void WebBrowser::navigate(const QUrl& url) {
    url_ = url;
    if (view_) {
        view_->setProperty("url", url_);
    }
}

void WebBrowser::setSilent(bool silent) {
    silent_ = silent;
}

// Starting the engine holds the event loop for a moment. Posted below the priority of paint
// requests, the start comes after the page has been painted in the window's background, so the
// click on its tab shows at once.
void WebBrowser::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (engineAllowed_ && !engineRequested_) {
        engineRequested_ = true;
        QCoreApplication::postEvent(this, new QEvent(kStartEngineEvent), Qt::LowEventPriority - 1);
    }
}

void WebBrowser::customEvent(QEvent* event) {
    if (event->type() == kStartEngineEvent) {
        startEngine();
    }
}

// Without the module the page stays empty, as it does when a page cannot be shown.
void WebBrowser::startEngine() {
    const CreateWebViewFunction create = loadWebViewModule();
    if (!create) {
        return;
    }
    view_ = create(this, &silent_);
    view_->setObjectName(QStringLiteral("noticesWebView"));
    connect(view_, SIGNAL(loadFinished(bool)), this, SIGNAL(loadFinished(bool)));
    layout()->addWidget(view_);
    if (url_.isValid()) {
        view_->setProperty("url", url_);
    }
}

}  // namespace zelvo::app
