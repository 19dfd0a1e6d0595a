// zelvo-sms-send as one whole process, as a user or a script runs it, but sending to the
// benchmark's local server. It trusts what a folder of hashed certificates holds, as the command
// trusts the system's: the bench gives it a copy of the system's folder with its server's
// authority added.
//   zelvo-bench-send PORT CA_FOLDER [arguments of zelvo-sms-send...]
#include <QCoreApplication>
#include <QFile>
#include <cstdio>

#include "cli/send_command.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.size() < 2) return 64;
    // set.ini and the record of sends beside the program, as a portable copy keeps them: in the
    // build tree, never in the folder the benchmark runs from.
    zelvo::cli::SendCommandContext context{zelvo::AppConfig::builtIn(),
                                           QCoreApplication::applicationDirPath() + "/set.ini",
                                           QProcessEnvironment::systemEnvironment()};
    context.config.smtpHost = QStringLiteral("127.0.0.1");
    context.config.smtpPort = arguments.takeFirst().toInt();
    context.config.smtpCaFolder = arguments.takeFirst();
    QFile in, out, err;
    in.open(stdin, QIODevice::ReadOnly);
    out.open(stdout, QIODevice::WriteOnly);
    err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    return zelvo::cli::runSendCommand(arguments, in, out, err, context);
}
