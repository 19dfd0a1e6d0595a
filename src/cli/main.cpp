#include <QCoreApplication>
#include <QFile>
#include <cstdio>

#include "cli/send_command.h"
#include "settings/settings_location.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    // Both programs keep their settings under this name in the user's configuration folder.
    QCoreApplication::setApplicationName(QStringLiteral("zelvo-sms"));

    QFile in, out, err;
    in.open(stdin, QIODevice::ReadOnly);
    out.open(stdout, QIODevice::WriteOnly);
    err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    const zelvo::cli::SendCommandContext context{
        zelvo::AppConfig::builtIn(),
        zelvo::settings::settingsFileForProgram(QCoreApplication::applicationDirPath()),
        QProcessEnvironment::systemEnvironment()};
    const int code =
        zelvo::cli::runSendCommand(QCoreApplication::arguments().mid(1), in, out, err, context);
    out.flush();
    return code;
}
