#include "app/web_browser.h"

#include <QDir>
#include <QLabel>
#include <QLibrary>
#include <QVBoxLayout>

#include "app/module_folders.h"
#include "webview/web_view_module.h"

namespace zelvo::app {

namespace {

CreateWebViewFunction loadWebViewModule(QString* error) {
    for (const QString& folder : moduleFolders()) {
        QLibrary module(QDir(folder).filePath(QString::fromLatin1(kWebViewModuleName)));
        if (auto create =
                reinterpret_cast<CreateWebViewFunction>(module.resolve(kCreateWebViewSymbol))) {
            return create;
        }
        *error = module.errorString();
    }
    return nullptr;
}

}  // namespace

WebBrowser::WebBrowser(QWidget* parent) : QWidget(parent) {
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

void WebBrowser::startEngine() {
    if (view_) {
        return;
    }
    QString error;
    const CreateWebViewFunction create = loadWebViewModule(&error);
    if (!create) {
        auto* notice =
            new QLabel(QStringLiteral("无法加载网页组件, 信息公告不能显示.\n") + error, this);
        notice->setWordWrap(true);
        notice->setAlignment(Qt::AlignCenter);
        layout()->addWidget(notice);
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
