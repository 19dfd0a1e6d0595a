// zelvo-sms-send as one whole process, started as its main() starts it, but sending to the
// benchmark's local server. It trusts what a folder of hashed certificates holds, as the command
// trusts the system's: the bench gives it a copy of the system's folder with its server's
// authority added.
//   zelvo-bench-send PORT CA_FOLDER [arguments of zelvo-sms-send...]
#include <QCoreApplication>
#include <QFile>
#include <cstdio>

#include "cli/send_command.h"
#include "settings/settings_location.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zelvo-sms"));
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.size() < 2) return 64;
    zelvo::AppConfig config = zelvo::AppConfig::builtIn();
    config.smtpHost = QStringLiteral("127.0.0.1");
    config.smtpPort = arguments.takeFirst().toInt();
    config.smtpCaFolder = arguments.takeFirst();
    const zelvo::cli::SendCommandContext context{
        config,
        zelvo::settings::settingsFileForProgram(QCoreApplication::applicationDirPath(),
                                                config.installedProgramFolders),
        QProcessEnvironment::systemEnvironment()};
    QFile in, out, err;
    in.open(stdin, QIODevice::ReadOnly);
    out.open(stdout, QIODevice::WriteOnly);
    err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    return zelvo::cli::runSendCommand(arguments, in, out, err, context);
}
