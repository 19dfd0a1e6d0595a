#include "app/web_browser.h"

#include <QVBoxLayout>
#include <QWebEngineCertificateError>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace zelvo::app {

namespace {

// A page whose script dialogs and console messages go nowhere when silent.
class SilentPage : public QWebEnginePage {
public:
    SilentPage(QWebEngineProfile* profile, const bool& silent, QObject* parent)
        : QWebEnginePage(profile, parent), silent_(silent) {
        connect(this, &QWebEnginePage::certificateError, this,
                [this](QWebEngineCertificateError error) {
                    if (silent_) {
                        error.rejectCertificate();
                    }
                });
    }

protected:
    void javaScriptAlert(const QUrl& origin, const QString& message) override {
        if (!silent_) {
            QWebEnginePage::javaScriptAlert(origin, message);
        }
    }
    bool javaScriptConfirm(const QUrl& origin, const QString& message) override {
        return silent_ ? false : QWebEnginePage::javaScriptConfirm(origin, message);
    }
    bool javaScriptPrompt(const QUrl& origin, const QString& message, const QString& defaultValue,
                          QString* result) override {
        return silent_ ? false
                       : QWebEnginePage::javaScriptPrompt(origin, message, defaultValue, result);
    }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int line, const QString& source) override {
        if (!silent_) {
            QWebEnginePage::javaScriptConsoleMessage(level, message, line, source);
        }
    }
    QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                            const QStringList& acceptedMimeTypes) override {
        return silent_ ? QStringList{}
                       : QWebEnginePage::chooseFiles(mode, oldFiles, acceptedMimeTypes);
    }

private:
    const bool& silent_;
};

}  // namespace

WebBrowser::WebBrowser(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

void WebBrowser::Navigate(const QUrl& url) {
    url_ = url;
    if (view_) {
        view_->setUrl(url_);
    }
}

void WebBrowser::setSilent(bool silent) {
    silent_ = silent;
}

void WebBrowser::startEngine() {
    if (view_) {
        return;
    }
    view_ = new QWebEngineView(this);
    view_->setObjectName(QStringLiteral("WebBrowser1View"));
    // An off-the-record profile keeps no cookies or cache beside the program. It is made after
    // the view so that it is destroyed after the view's page.
    auto* profile = new QWebEngineProfile(this);
    auto* page = new SilentPage(profile, silent_, view_);
    view_->setPage(page);
    view_->setContextMenuPolicy(Qt::NoContextMenu);
    connect(view_, &QWebEngineView::loadFinished, this, &WebBrowser::loadFinished);
    layout()->addWidget(view_);
    if (url_.isValid()) {
        view_->setUrl(url_);
    }
}

}  // namespace zelvo::app
