#pragma once

#include <QByteArray>
#include <QString>

#include "sms/transport_options.h"

namespace zelvo::sms {

// Everything one SMTP submission needs, already checked and composed.
struct SmtpSubmission {
    QString host;
    int port = 25;
    bool authenticate = false;
    QString login;
    QString password;
    QByteArray envelopeFrom;  // bare address
    QByteArray envelopeTo;    // bare address, the only recipient
    QByteArray message;       // complete message with CRLF line ends
};

// Submits over one connection with libcurl: STARTTLS whenever offered, login when asked,
// one recipient. When a login is asked for, a server that offers none we can use is sent no
// message. Returns once the server has accepted the data; throws MailError otherwise,
// with the curl error and the server's last reply but never the credentials.
void submitMail(const SmtpSubmission& submission, const TransportOptions& options);

// How a mail object submits: submitMail itself where libcurl is linked, or a function that
// loads it from the SMTP module at the first send.
using SubmitMailFunction = void (*)(const SmtpSubmission&, const TransportOptions&);

}  // namespace zelvo::sms
