// Linux and other desktops: the desktop's own browser and text editor, through its file and URL
// handlers.
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include <QDesktopServices>
#include <QUrl>

#include "app/application_setup.h"
#include "app/qt_platform_services.h"

namespace zelvo::app {

bool openUrlOnDesktop(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

bool openInDesktopTextEditor(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void endProcessNow() {
    ::_exit(0);
}

void preparePlatformProcess() {
#ifdef __linux__
    // A core dump would hold the mailbox password.
    ::prctl(PR_SET_DUMPABLE, 0);
#endif
    // The web engine's sandbox refuses to run as root; without it the program still starts.
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
}

}  // namespace zelvo::app
