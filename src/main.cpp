#include <QApplication>

#include "app/application_setup.h"
#include "app/main_window.h"
#include "app/qt_platform_services.h"

int main(int argc, char* argv[]) {
    zelvo::app::prepareProcess();
    QApplication app(argc, argv);
    // Both programs keep their settings under this name in the user's configuration folder.
    QCoreApplication::setApplicationName(QStringLiteral("zelvo-sms"));
    zelvo::app::installTranslations(app);

    zelvo::app::QtPlatformServices platform;
    zelvo::app::MainWindow window(platform);
    window.show();
    return app.exec();
}
