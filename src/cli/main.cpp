#include <QCoreApplication>
#include <QFile>
#include <cstdio>

#include "cli/send_command.h"
#include "config/process_setup.h"
#include "settings/settings_location.h"

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    zelvo::setUpProcess();
#ifdef Q_OS_WIN
    // Everything the command prints is UTF-8, which a console shows as such only in code page
    // 65001; a Chinese Windows console is in 936. The console gets its own back at the end.
    const UINT consoleCodePage = GetConsoleOutputCP();
    SetConsoleOutputCP(CP_UTF8);
    // The bytes as written: in text mode the C runtime makes each LF a CR LF, and the dry run's
    // mail, whose lines end in CR LF already, would end them in CR CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif

    QFile in, out, err;
    in.open(stdin, QIODevice::ReadOnly);
    out.open(stdout, QIODevice::WriteOnly);
    err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    const zelvo::AppConfig config = zelvo::AppConfig::builtIn();
    const zelvo::cli::SendCommandContext context{
        config,
        zelvo::settings::settingsFileForProgram(QCoreApplication::applicationDirPath(),
                                                config.installedProgramFolders),
        QProcessEnvironment::systemEnvironment()};
    const int code =
        zelvo::cli::runSendCommand(QCoreApplication::arguments().mid(1), in, out, err, context);
    out.flush();
#ifdef Q_OS_WIN
    if (consoleCodePage != 0) SetConsoleOutputCP(consoleCodePage);
#endif
    return code;
}
