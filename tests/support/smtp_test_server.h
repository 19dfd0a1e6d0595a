#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <vector>

namespace zelvo::testing {

// One mail as the test server took it.
struct ReceivedMail {
    QString mailFrom{};
    QStringList rcptTos{};
    bool authenticated = false;
    QString login{};  // credentials of the accepted AUTH, empty without one
    QString password{};
    bool tlsAtAuth = false;  // the accepted AUTH came over TLS
    bool tls = false;        // the message came over TLS
    QByteArray content{};    // the message exactly as received, dot-stuffing removed

    // A header's value, unfolded, RFC 2047 words decoded; null when absent.
    QString header(const QByteArray& name) const;
    QString subject() const { return header("Subject"); }
    // The body decoded by its Content-Transfer-Encoding, as UTF-8.
    QString textBody() const;
};

// One AUTH command as the server saw it.
struct AuthAttempt {
    bool tls = false;
    QString mechanism{};
    bool initialResponse = false;  // credentials came with the AUTH command itself
    bool reachedCheck = false;     // credentials were decoded and checked
    QString login{};
    QString password{};
    bool accepted = false;
};

// A real SMTP server (aiosmtpd in a child process) on 127.0.0.1 for one test.
//
//     SmtpTestServer server({.startTls = true});
//     sms::CdoMessage mail({.timeouts = {}, .caFile = server.caFile()});
//     ... point smtpserver at 127.0.0.1 and smtpserverport at server.port(), send ...
//     ASSERT_EQ(server.received().size(), 1u);
//     EXPECT_EQ(server.received()[0].subject(), "13800138000");
class SmtpTestServer {
public:
    enum class Mode {
        Accept,           // takes mail from a client that logged in with login/password
        RejectLogin,      // 535 for every login
        RejectRecipient,  // 550 for every RCPT
        RejectData,       // 554 after the message
        NeverAnswer,      // accepts TCP connections and sends nothing at all
        DropDuringData,   // hangs up after the first line of the message
    };
    struct Options {
        Mode mode = Mode::Accept;
        QString login = QStringLiteral("13800138000");
        QString password = QStringLiteral("secret");
        bool startTls = false;     // offer STARTTLS with a fresh self-signed certificate
        bool requireLogin = true;  // refuse mail from a client that did not log in
    };

    // Starts the server and returns once its port accepts connections; throws
    // std::runtime_error when it cannot start.
    explicit SmtpTestServer(Options options);
    SmtpTestServer() : SmtpTestServer(Options{}) {}
    ~SmtpTestServer();
    SmtpTestServer(const SmtpTestServer&) = delete;
    SmtpTestServer& operator=(const SmtpTestServer&) = delete;

    int port() const { return port_; }
    const Options& options() const { return options_; }
    // The certificate the server presents (its own CA); empty without STARTTLS.
    QString caFile() const { return caFile_; }

    std::vector<ReceivedMail> received() const;
    std::vector<AuthAttempt> authAttempts() const;

    // A port on 127.0.0.1 that nothing listens on right now.
    static int unusedPort();

private:
    QList<QJsonObject> records() const;

    Options options_;
    QTemporaryDir dir_;
    QString caFile_;
    std::unique_ptr<QProcess> process_;
    int port_ = 0;
};

}  // namespace zelvo::testing
