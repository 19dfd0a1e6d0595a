#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include "config/app_config.h"

class QIODevice;

namespace zelvo::cli {

// Exit codes, with the values of sysexits.h.
enum ExitCode {
    kExitSent = 0,
    kExitUsage = 64,        // EX_USAGE: the command line is wrong
    kExitRefused = 65,      // EX_DATAERR: a number or the message fails the checks
    kExitUnavailable = 69,  // EX_UNAVAILABLE: the server refused; trying again will not help
    kExitTryLater = 75,     // EX_TEMPFAIL: no connection, time-out, dropped, 4xx; worth a retry
    kExitNoAccount = 78,    // EX_CONFIG: no usable account or password
};

// What the command takes from its surroundings. The program fills it from its process; tests
// give their own server, time-outs and files.
struct SendCommandContext {
    AppConfig config;
    QString settingsPath;  // set.ini when --settings is not given
    QProcessEnvironment environment;
};

// Runs `zelvo-sms-send` with the arguments after the program name: checks the recipients and
// the message as the window does, then sends one gateway mail (or, with --dry-run, prints it).
// Prints nothing on success unless asked; every refusal goes to `err` in Chinese. Returns the
// exit code.
int runSendCommand(const QStringList& arguments, QIODevice& in, QIODevice& out, QIODevice& err,
                   const SendCommandContext& context);

}  // namespace zelvo::cli
