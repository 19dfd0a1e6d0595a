#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace zelvo::testing {

// The password the real test server takes, with any login name.
inline const QString kPeerPassword = QStringLiteral("p@ss word");

// An SMTP peer on 127.0.0.1 for one test (support/smtp_peer.py in a child process): a real
// server with AUTH and, on request, STARTTLS or only the LOGIN mechanism; or, given a script, a raw
// peer that answers from it. Events are the JSON records the peer wrote: "mail" (decoded by
// Python's email package), "auth" (the real server) and "command" (the raw peer).
class SmtpPeer {
public:
    struct Options {
        // Replies by verb, "greeting" and "." (end of message), as JSON; empty for the real
        // server. A reply is a string ("\n" becomes CRLF) or an object with "text" and any of
        // "drip_ms" (a byte at a time), "repeat", "close", "stall" (then silence) and "pad" (that
        // many "x" before the line end).
        QByteArray script{};
        bool startTls = false;   // with a fresh self-signed certificate, see caFile()
        bool loginOnly = false;  // offers AUTH LOGIN and no other mechanism
    };

    explicit SmtpPeer(Options options);  // throws std::runtime_error when it cannot start
    ~SmtpPeer();
    SmtpPeer(const SmtpPeer&) = delete;
    SmtpPeer& operator=(const SmtpPeer&) = delete;

    int port() const { return port_; }
    QString caFile() const { return caFile_; }  // empty without STARTTLS
    QList<QJsonObject> events(const QString& kind) const;

private:
    QTemporaryDir dir_;
    QString caFile_;
    QProcess process_;
    int port_ = 0;
};

}  // namespace zelvo::testing
