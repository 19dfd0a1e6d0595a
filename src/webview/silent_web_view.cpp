#include <QWebEngineCertificateError>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include "webview/web_view_module.h"

namespace {

// A page whose script dialogs and console messages go nowhere when silent.
class SilentPage : public QWebEnginePage {
public:
    SilentPage(QWebEngineProfile* profile, const bool* silent, QObject* parent)
        : QWebEnginePage(profile, parent), silent_(silent) {
        connect(this, &QWebEnginePage::certificateError, this,
                [this](QWebEngineCertificateError error) {
                    if (*silent_) {
                        error.rejectCertificate();
                    }
                });
    }

protected:
    void javaScriptAlert(const QUrl& origin, const QString& message) override {
        if (!*silent_) {
            QWebEnginePage::javaScriptAlert(origin, message);
        }
    }
    bool javaScriptConfirm(const QUrl& origin, const QString& message) override {
        return *silent_ ? false : QWebEnginePage::javaScriptConfirm(origin, message);
    }
    bool javaScriptPrompt(const QUrl& origin, const QString& message, const QString& defaultValue,
                          QString* result) override {
        return *silent_ ? false
                        : QWebEnginePage::javaScriptPrompt(origin, message, defaultValue, result);
    }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int line, const QString& source) override {
        if (!*silent_) {
            QWebEnginePage::javaScriptConsoleMessage(level, message, line, source);
        }
    }
    QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                            const QStringList& acceptedMimeTypes) override {
        return *silent_ ? QStringList{}
                        : QWebEnginePage::chooseFiles(mode, oldFiles, acceptedMimeTypes);
    }

private:
    const bool* silent_;
};

}  // namespace

extern "C" Q_DECL_EXPORT QWidget* zelvoCreateWebView(QWidget* parent, const bool* silent) {
    auto* view = new QWebEngineView(parent);
    // An off-the-record profile keeps no cookies or cache beside the program. It is made after
    // the view, as a child of the same parent, so that it is destroyed after the view's page.
    auto* profile = new QWebEngineProfile(parent);
    view->setPage(new SilentPage(profile, silent, view));
    view->setContextMenuPolicy(Qt::NoContextMenu);
    return view;
}
