#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "sms/smtp_route.h"

namespace zelvo::cli {

// What the command line asks for, before anything is looked up or checked.
struct SendRequest {
    QStringList recipients = {};          // numbers or names, one each, commas already split
    std::optional<QString> message = {};  // absent: read standard input
    QString from = {};                    // empty: the account of set.ini
    QString passwordFile = {};            // empty: ZELVO_SMS_PASSWORD or set.ini
    QString settingsFile = {};            // empty: the programs' own set.ini
    // The one route to use, and its port (0 for the built-in one); absent: STARTTLS first,
    // then implicit TLS.
    std::optional<sms::TlsMode> tls = {};
    quint16 port = 0;
    bool dryRun = false;
    bool noRecord = false;  // leave the send out of sent.log
    bool split = false;     // a long message goes in numbered parts
    bool verbose = false;
    bool help = false;
    bool version = false;

    friend bool operator==(const SendRequest&, const SendRequest&) = default;
};

struct ParsedCommandLine {
    SendRequest request;
    QString error;  // a usage error for the user, in Chinese; empty when the line is usable
};

// Options first or mixed in, "--" ends them. The last operand is the message unless it is the
// only one or "-", which both mean standard input; the operands before it are recipients,
// each possibly several joined by commas.
ParsedCommandLine parseCommandLine(const QStringList& arguments);

}  // namespace zelvo::cli
