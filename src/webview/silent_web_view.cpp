#include <QObject>
#include <QVBoxLayout>
#include <QWebEngineCertificateError>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include "webview/web_view_module.h"

namespace {

// A page whose script dialogs, console messages, file choosers and certificate errors go
// nowhere.
class SilentPage : public QWebEnginePage {
public:
    SilentPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {
        connect(this, &QWebEnginePage::certificateError, this,
                [](QWebEngineCertificateError error) { error.rejectCertificate(); });
    }

protected:
    void javaScriptAlert(const QUrl&, const QString&) override {}
    bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
    bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override {
        return false;
    }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                  const QString&) override {}
    QStringList chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) override {
        return {};
    }
};

}  // namespace

namespace zelvo::webview {

class SilentWebViewModule : public QObject, public WebViewModule {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID ZELVO_WEB_VIEW_MODULE_IID)
    Q_INTERFACES(zelvo::webview::WebViewModule)
public:
    QWidget* createView(const QUrl& url, QWidget* parent) override {
        auto* box = new QWidget(parent);
        auto* layout = new QVBoxLayout(box);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* view = new QWebEngineView(box);
        // An off-the-record profile keeps no cookies or cache beside the program. Made after
        // the view, as a child of the same box, it is destroyed after the view's page.
        auto* profile = new QWebEngineProfile(box);
        view->setPage(new SilentPage(profile, view));
        view->setContextMenuPolicy(Qt::NoContextMenu);
        view->setUrl(url);
        layout->addWidget(view);
        box->setFocusProxy(view);
        return box;
    }
};

}  // namespace zelvo::webview

#include "silent_web_view.moc"
