#pragma once

#include <QByteArray>
#include <QFileInfo>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <chrono>
#include <optional>

#include "config/app_config.h"

namespace zelvo::testing {

// The time limits of every send to a peer: short, so that a hang fails in seconds, and the first
// route's 700 ms long enough for a peer on this machine to greet.
inline const SmtpTimeouts kTestTimeouts{
    std::chrono::milliseconds(1500), std::chrono::milliseconds(1000),
    std::chrono::milliseconds(2500), std::chrono::milliseconds(700)};

// The password the real test server takes, with any login name.
inline const QString kPeerPassword = QStringLiteral("p@ss word");

// Whether the test runs under Wine, whose Schannel accepts certificates no store trusts.
bool underWine();

// An SMTP peer on 127.0.0.1 for one test (support/smtp_peer.py in a child process): a real
// server with AUTH and STARTTLS, or TLS from the first byte, or only the LOGIN mechanism on
// request; or, given a script, a raw peer that answers from it, STARTTLS included; or a port
// whose connections never complete. Both kinds of TLS use one certificate, caFile(), which the
// tests trust. Events are the JSON records the peer wrote: "mail" (decoded by Python's email
// package; "envelope" is "<sender> > <recipients>\n<subject>\n<body>"), "auth" (the real
// server) and "command" (the raw peer).
class SmtpPeer {
public:
    struct Options {
        // Replies by verb, "greeting" and "." (end of message), as JSON; empty for the real
        // server. A reply is a string ("\n" becomes CRLF) or an object with "text" and any of
        // "drip_ms" (a byte at a time), "repeat", "close", "stall" (then silence) and "pad" (that
        // many "x" before the line end). The default EHLO reply offers STARTTLS, and a STARTTLS
        // reply of 220 starts it.
        QByteArray script{};
        bool loginOnly = false;     // offers AUTH LOGIN and no other mechanism
        bool implicitTls = false;   // TLS from the first byte instead of STARTTLS
        bool neverAccepts = false;  // connections to the port never complete
        int refusedMail = 0;        // the real server refuses its n-th message (counted from 1)
    };

    explicit SmtpPeer(Options options);  // throws std::runtime_error when it cannot start
    ~SmtpPeer();

    int port() const { return port_; }
    static QString caFile();  // the self-signed certificate of every peer of the test program
    // caFile() alone in a folder, under the name OpenSSL looks it up by, as in /etc/ssl/certs.
    static QString caFolder() { return QFileInfo(caFile()).dir().filePath("hashed"); }
    QList<QJsonObject> events(const QString& kind) const;

private:
    QTemporaryDir dir_;
    QProcess process_;
    int port_ = 0;
};

// The peer's events of that kind; none where no peer was started.
QList<QJsonObject> eventsOf(const std::optional<SmtpPeer>& peer, const QString& kind);

}  // namespace zelvo::testing
