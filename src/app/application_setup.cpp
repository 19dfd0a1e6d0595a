#include "app/application_setup.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QUrl>

#include "app/notices_page.h"
#include "app/platform/platform.h"
#include "config/app_config.h"

namespace zelvo::app {

namespace {

bool showsWebNotices() {
    return NoticesPage::needsWebView(QUrl(AppConfig::builtIn().infoPageUrl));
}

}  // namespace

void prepareProcess() {
    // A web view shares OpenGL contexts with the widgets. The attribute makes Qt load the
    // OpenGL stack at start, which the bundled notices page does not need.
    if (showsWebNotices()) {
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    }
    platform::prepareProcess();
}

void installTranslations(QApplication& app) {
    // Qt's own folder, or one beside the program, as a Windows copy has it.
    QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFileInfo(folder).isDir())
        folder = QCoreApplication::applicationDirPath() + "/translations";
    QList<const char*> catalogues = {"qtbase"};
    if (showsWebNotices()) {
        catalogues.append("qtwebengine");
    }
    for (const char* catalogue : catalogues) {
        auto* translator = new QTranslator(&app);
        if (translator->load(QLocale(), QString::fromLatin1(catalogue), QStringLiteral("_"),
                             folder)) {
            QCoreApplication::installTranslator(translator);
        } else {
            delete translator;
        }
    }
}

}  // namespace zelvo::app
