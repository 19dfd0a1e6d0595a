#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "config/app_config.h"
#include "sms/smtp_route.h"

namespace zelvo::sms {

// One SMS as the gateway takes it: one mail from the account to the gateway, with the numbers
// as its subject, submitted over SMTP after logging in as the account. There is no sending
// without the login: the mail service takes mail from its own users only.
struct GatewaySubmission {
    QList<SmtpRoute> routes;  // tried in this order, see smtp::submitMail
    QString login;            // the account up to its first "@"
    QString password;         // the account's password
    QString sender;           // the account address: the mail's From and envelope sender
    QString gateway;          // the gateway's address: the mail's To and only envelope recipient
    QString subject;          // the numbers joined by ","
    QString text;             // the message
};

// The submission both programs make for one send from `account` to `numbers`: to the configured
// host, over the route with `first` encryption and then over the other. Throws MailError
// (InvalidInput) when the configured server cannot be used at all: no host, or a port outside
// 1..65535.
GatewaySubmission gatewaySubmission(const AppConfig& config, const QString& account,
                                    const QString& password, const QString& numbers,
                                    const QString& text, TlsMode first = TlsMode::StartTls);

// The mail as it goes on the wire.
struct ComposedMail {
    QByteArray envelopeFrom;  // bare address
    QByteArray envelopeTo;    // bare address, the only recipient
    QByteArray message;       // complete message with CRLF line ends, dated now
};

// Throws MailError (InvalidInput) for a line break in a header or a malformed address.
ComposedMail composeGatewayMail(const GatewaySubmission& submission);

}  // namespace zelvo::sms
