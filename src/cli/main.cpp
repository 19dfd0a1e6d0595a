#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include "cli/send_command.h"
#include "settings/settings_location.h"

int main(int argc, char* argv[]) {
#ifdef __linux__
    // A core dump would hold the mailbox password.
    ::prctl(PR_SET_DUMPABLE, 0);
#endif
    QCoreApplication app(argc, argv);
    // Both programs keep their settings under this name in the user's configuration folder.
    QCoreApplication::setApplicationName(QStringLiteral("zelvo-sms"));

    QFile in, out, err;
    in.open(stdin, QIODevice::ReadOnly);
    out.open(stdout, QIODevice::WriteOnly);
    err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    const zelvo::AppConfig config = zelvo::AppConfig::builtIn();
    const zelvo::cli::SendCommandContext context{
        config,
        zelvo::settings::settingsFileLocation(QCoreApplication::applicationDirPath(),
                                              config.installedProgramFolders),
        QProcessEnvironment::systemEnvironment()};
    const int code =
        zelvo::cli::runSendCommand(QCoreApplication::arguments().mid(1), in, out, err, context);
    out.flush();
    return code;
}
