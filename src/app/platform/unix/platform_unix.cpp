// Linux and other desktops: the Windows programs named in command lines stand for the
// desktop's web browser and text editor.
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

#include "app/application_setup.h"
#include "app/qt_platform_services.h"

namespace zelvo::app {

bool startCommandLine(const QString& program, const QString& argument, WindowShow /*show*/) {
    const QString name = program.toLower();
    if (name == QLatin1String("explorer.exe")) {
        return QDesktopServices::openUrl(QUrl(argument));
    }
    if (name == QLatin1String("notepad.exe")) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(argument));
    }
    return QProcess::startDetached(program,
                                   argument.isEmpty() ? QStringList{} : QStringList{argument});
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
