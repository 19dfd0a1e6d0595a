// Linux and other desktops: the desktop's own browser and text editor, through its file and URL
// handlers.
#include <unistd.h>

#include <QDesktopServices>
#include <QUrl>

#include "app/platform/platform.h"

namespace zelvo::app::platform {

bool openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

bool openInTextEditor(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void endProcess() {
    ::_exit(0);
}

void prepareProcess() {
    // The web engine's sandbox refuses to run as root; without it the program still starts.
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
}

}  // namespace zelvo::app::platform
