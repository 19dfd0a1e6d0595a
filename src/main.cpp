#include <QApplication>

#include "app/application_setup.h"
#include "app/main_window.h"
#include "app/qt_desktop.h"
#include "config/process_setup.h"

int main(int argc, char* argv[]) {
    zelvo::app::prepareProcess();
    QApplication app(argc, argv);
    zelvo::setUpProcess();
    zelvo::app::installTranslations(app);

    zelvo::app::QtDesktop platform;
    zelvo::app::MainWindow window(platform);
    window.show();
    return app.exec();
}
