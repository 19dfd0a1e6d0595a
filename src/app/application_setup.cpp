#include "app/application_setup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace zelvo::app {

void prepareProcess() {
    // The embedded web view shares OpenGL contexts with the widgets.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    preparePlatformProcess();
}

void installTranslations(QApplication& app) {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* catalogue : {"qtbase", "qtwebengine"}) {
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
