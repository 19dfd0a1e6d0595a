#pragma once

#include <QString>

namespace zelvo::sms {

// How a route to the SMTP server is encrypted: STARTTLS after the greeting, on the submission
// port, or TLS from the first byte (SMTPS) on a port of its own. Neither ever carries the login
// in clear.
enum class TlsMode { StartTls, Implicit };

// One route to the SMTP server.
struct SmtpRoute {
    QString host;
    quint16 port = 0;
    TlsMode tls = TlsMode::StartTls;
};

// "STARTTLS" or "SSL/TLS", as mail programs name the two.
inline QString tlsModeName(TlsMode tls) {
    return tls == TlsMode::StartTls ? QStringLiteral("STARTTLS") : QStringLiteral("SSL/TLS");
}

}  // namespace zelvo::sms
