// The gateway submission over libcurl against real and hostile servers on 127.0.0.1: what the
// gateway gets and over which route, how each failure is told, what cannot be sent at all, and
// sends from several threads.
#include "smtp/smtp_submission.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QJsonArray>
#include <atomic>
#include <memory>
#include <thread>

#include "sms/failure_report.h"
#include "sms/mail_error.h"
#include "support/smtp_peer.h"

namespace zelvo::smtp {
namespace {

using namespace std::chrono_literals;
using namespace sms;
using testing::SmtpPeer;

sms::TransportOptions quick() {
    return {{1500ms, 1000ms, 2500ms}, SmtpPeer::caFile()};
}

// The submission the send of one SMS makes to the server on 127.0.0.1 at `port`, after `spoil`
// changed the configuration.
GatewaySubmission submissionTo(int port, void (*spoil)(AppConfig&) = nullptr) {
    AppConfig config;
    config.smtpHost = QStringLiteral("127.0.0.1");
    config.smtpPort = port;
    config.gatewayAddress = QStringLiteral("sms@139.com");
    if (spoil) spoil(config);
    return gatewaySubmission(config, QStringLiteral("13800138000@139.com"), testing::kPeerPassword,
                             QStringLiteral("13900139000,13800138000"),
                             QStringLiteral("今晚七点开会"));
}

// What cannot be sent never reaches the server: a server that is not set, a port that does not
// exist, and a line break, which would end an SMTP command early and pass the rest off as
// commands of our own.
TEST(GatewaySubmission, RefusesWhatCannotBeSentBeforeConnecting) {
    const SmtpPeer peer({.script = "{}"});
    struct Row {
        const char* what;
        void (*config)(AppConfig&);
        void (*submission)(GatewaySubmission&);
        const char* words;  // in the error
    };
    // clang-format off
    const Row rows[] = {
        {"no server", [](AppConfig& c) { c.smtpHost.clear(); }, nullptr, "no SMTP server"},
        {"blank server", [](AppConfig& c) { c.smtpHost = " \t"; }, nullptr, "no SMTP server"},
        {"port 0", [](AppConfig& c) { c.smtpPort = 0; }, nullptr, "port 0"},
        {"port 65536", [](AppConfig& c) { c.smtpPort = 65536; }, nullptr, "port 65536"},
        {"SMTPS port 0", [](AppConfig& c) { c.smtpsPort = 0; }, nullptr, "port 0"},
        {"LF in host", [](AppConfig& c) { c.smtpHost = "127.0.0.1\nx"; }, nullptr, "line breaks"},
        {"URL in host", [](AppConfig& c) { c.smtpHost = "a@127.0.0.1/x"; }, nullptr, "server name"},
        {"CR in login", nullptr, [](GatewaySubmission& s) { s.login = "a\rb"; }, "login name"},
        {"LF in password", nullptr, [](GatewaySubmission& s) { s.password = "a\nQUIT"; }, "password"},
        {"NUL in password", nullptr, [](GatewaySubmission& s) { s.password = QString(QChar(0)); }, "password"},
        {"CRLF in From", nullptr, [](GatewaySubmission& s) { s.sender += "\r\nRCPT TO:<x@y>"; }, "From"},
        {"CRLF in To", [](AppConfig& c) { c.gatewayAddress += "\r\nRCPT TO:<x@y>"; }, nullptr, "To"},
        {"CRLF in Subject", nullptr, [](GatewaySubmission& s) { s.subject += "\r\nBcc: x@y"; }, "Subject"},
    };
    // clang-format on
    for (const Row& row : rows) {
        try {
            GatewaySubmission submission = submissionTo(peer.port(), row.config);
            if (row.submission) row.submission(submission);
            submitMail(submission, quick());
            ADD_FAILURE() << row.what << ": sent";
        } catch (const MailError& error) {
            EXPECT_EQ(error.cause(), FailureCause::InvalidInput) << row.what;
            EXPECT_TRUE(QString::fromUtf8(error.what()).contains(row.words)) << error.what();
        }
    }
    EXPECT_TRUE(peer.events("command").isEmpty());
}

constexpr const char* kNoStartTls = R"({"EHLO":"250-127.0.0.1\n250 AUTH PLAIN LOGIN\n"})";

struct ServerRow {
    const char* name;
    // The STARTTLS route: "" the real server, "untrusted" (its certificate is not trusted),
    // "nostore" (the system trusts no certificate at all), "none" (nothing listens), "never"
    // (connections never complete), or a raw peer's script (see smtp_peer.h).
    QByteArray first = "";
    // The implicit-TLS route: "" nothing listens, "implicit" the real server, "untrusted".
    QByteArray second = "";
    bool sent = false;
    FailureCause cause = FailureCause::Other;
    const char* reason = "";  // words of the failure's details
    QString password = testing::kPeerPassword;
};
void PrintTo(const ServerRow& row, std::ostream* out) {
    *out << row.name;
}

class ServerTest : public ::testing::TestWithParam<ServerRow> {};

TEST_P(ServerTest, TheGatewayGetsTheMailOrTheFailureSaysWhy) {
    const ServerRow& row = GetParam();
#ifdef Q_OS_WIN
    if (row.first == "nostore") GTEST_SKIP() << "Windows' own certificate store is never empty";
#endif
    if (testing::underWine() && (row.first == "untrusted" || row.second == "untrusted"))
        GTEST_SKIP() << "Wine's Schannel accepts a certificate that its store does not trust";
    std::unique_ptr<SmtpPeer> first, second;
    if (row.first != "none")
        first = std::make_unique<SmtpPeer>(
            SmtpPeer::Options{.script = row.first.startsWith('{') ? row.first : QByteArray(),
                              .neverAccepts = row.first == "never"});
    if (!row.second.isEmpty())
        second = std::make_unique<SmtpPeer>(SmtpPeer::Options{.implicitTls = true});
    const int firstPort = first ? first->port() : 1;
    GatewaySubmission submission = submissionTo(firstPort, [](AppConfig& c) { c.smtpsPort = 2; });
    if (second) submission.routes[1].port = quint16(second->port());
    submission.password = row.password;
    const bool untrusted = row.first == "untrusted" || row.second == "untrusted";
    // "nostore": a system that trusts no certificate authority at all.
    const bool noStore = row.first == "nostore";
    const QTemporaryDir emptyStore;
    const TransportOptions options{{1500ms, 1000ms, 2500ms, 700ms},
                                   noStore     ? emptyStore.filePath("none.pem")
                                   : untrusted ? QString()
                                               : SmtpPeer::caFile(),
                                   noStore ? emptyStore.path() : QString()};
    const auto events = [](const std::unique_ptr<SmtpPeer>& peer, const char* kind) {
        return peer ? peer->events(QLatin1String(kind)) : QList<QJsonObject>();
    };

    try {
        EXPECT_EQ(submitMail(submission, options), second ? TlsMode::Implicit : TlsMode::StartTls);
        EXPECT_TRUE(row.sent) << "sent";
    } catch (const MailError& error) {
        EXPECT_FALSE(row.sent) << error.what();
        EXPECT_EQ(error.cause(), row.cause) << error.what();
        // The details name the server and its port, never the password, and hold nothing a
        // terminal would act on.
        const QString details = failureDetails(error);
        for (const QString& words : QString(row.reason).split(u'|'))
            EXPECT_TRUE(details.contains(words)) << details.toStdString();
        EXPECT_TRUE(details.contains(QStringLiteral("127.0.0.1, 端口 %1").arg(firstPort)));
        for (const QString& secret : {row.password, QString(row.password.toUtf8().toBase64())})
            EXPECT_FALSE(details.contains(secret)) << details.toStdString();
        EXPECT_FALSE(details.contains(u'\x1b')) << details.toStdString();
    }

    // Over TLS only a trusted server hears anything, and a first route that was left heard no
    // login.
    if (row.first == "untrusted" || row.first == "nostore") {
        EXPECT_TRUE(events(first, "command").isEmpty());
    }
    for (const QJsonObject& command : events(first, "command")) {
        EXPECT_TRUE(!second || command["verb"] != "AUTH" || !row.sent);
    }
    if (second) {
        EXPECT_EQ(events(second, "auth").isEmpty(), events(second, "mail").isEmpty());
    }
    const QList<QJsonObject> mails = events(first, "mail") + events(second, "mail");
    ASSERT_EQ(mails.size(), row.sent ? 1 : 0);
    if (!row.sent) return;
    const QJsonObject& mail = mails[0];
    EXPECT_EQ(mail["subject"].toString(), submission.subject);
    EXPECT_EQ(mail["body"].toString(), submission.text);
    EXPECT_EQ(mail["mail_from"].toString(), submission.sender);
    EXPECT_EQ(mail["rcpt_tos"].toArray(), QJsonArray{submission.gateway});
    EXPECT_EQ(mail["login"].toString(), QStringLiteral("13800138000"));
    EXPECT_EQ(mail["password"].toString(), row.password);
    EXPECT_TRUE(mail["tls_at_auth"].toBool());
    EXPECT_TRUE(mail["crlf_only"].toBool());
    EXPECT_EQ(mail["defects"].toInt(), 0);
    EXPECT_NEAR(mail["date"].toDouble(), QDateTime::currentSecsSinceEpoch(), 600);
    EXPECT_TRUE(mail["message_id"].toString().startsWith('<'));
    for (const QJsonObject& auth : events(first, "auth") + events(second, "auth")) {
        EXPECT_TRUE(auth["mechanism"] == "PLAIN" || auth["mechanism"] == "LOGIN");
        EXPECT_TRUE(auth["initial_response"].toBool());  // some servers refuse a bare AUTH
        EXPECT_TRUE(auth["tls"].toBool());
    }
}

using enum FailureCause;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Servers, ServerTest, ::testing::Values(
    ServerRow{.name = "StartTls", .sent = true},
    // Where no SMTP conversation starts on the first route, the mail goes over implicit TLS.
    ServerRow{.name = "Port25Closed", .first = "none", .second = "implicit", .sent = true},
    ServerRow{.name = "Port25NeverGreets", .first = R"({"greeting":{"stall":1}})", .second = "implicit", .sent = true},
    ServerRow{.name = "Port25NeverConnects", .first = "never", .second = "implicit", .sent = true},
    ServerRow{.name = "Port25ClosesBeforeGreeting", .first = R"({"greeting":{"text":"","close":1}})", .second = "implicit", .sent = true},
    ServerRow{.name = "Port25OffersNoStartTls", .first = kNoStartTls, .second = "implicit", .sent = true},
    ServerRow{.name = "Port25Refuses454", .first = R"({"STARTTLS":"454 4.7.0 TLS not available\n"})", .second = "implicit", .sent = true},
    ServerRow{.name = "WrongPassword", .second = "implicit", .cause = LoginRefused, .reason = "535 5.7.8 Authentication", .password = "wrong"},
    ServerRow{.name = "NothingListens", .first = "none", .cause = Connect, .reason = "两种连接方式都没有成功|端口 2 (SSL/TLS): 无法连接"},
    ServerRow{.name = "NoStartTlsAndNoPort465", .first = kNoStartTls, .cause = Connect, .reason = "没有提供加密连接 (STARTTLS), 密码没有发送"},
    ServerRow{.name = "UntrustedCertificate", .first = "untrusted", .second = "implicit", .cause = Tls},
    ServerRow{.name = "NoTrustedAuthorityAtAll", .first = "nostore", .cause = NoTrustedAuthority, .reason = "没有任何受信任的根证书|ca-certificates"},
    ServerRow{.name = "UntrustedOnPort465", .first = "none", .second = "untrusted", .cause = Tls, .reason = "端口 1 (STARTTLS): 无法连接"},
    ServerRow{.name = "Greets554", .first = R"({"greeting":"554 5.3.2 No\n"})", .cause = Other, .reason = "554 5.3.2 No"},
    ServerRow{.name = "SilentFromTheStart", .first = R"({"greeting":{"stall":1}})", .cause = Connect, .reason = "no greeting within 700 ms"},
    ServerRow{.name = "KnowsOnlyHelo", .first = R"({"EHLO":"500 5.5.1 What\n"})", .cause = Other},
    ServerRow{.name = "OffersNoAuth", .first = R"({"EHLO":"250-127.0.0.1\n250-STARTTLS\n250 8BITMIME\n"})", .cause = NoUsableLogin},
    ServerRow{.name = "OffersOnlyMechanismsWeDoNotSpeak", .first = R"({"EHLO":"250-127.0.0.1\n250-STARTTLS\n250 AUTH CRAM-MD5 DIGEST-MD5 NTLM XOAUTH2\n"})", .cause = LoginRefused},
    // A server that echoes the login, in clear and in base64, has it blotted out.
    ServerRow{.name = "RefusesLoginEchoingIt", .first = R"({"AUTH":"535 5.7.8 p@ss word ADEzODAwMTM4MDAwAHBAc3Mgd29yZA==\n"})", .cause = LoginRefused, .reason = "535 5.7.8 *** ***"},
    ServerRow{.name = "Closes421AtMail", .first = R"({"MAIL":{"text":"421 4.3.2 Shutting down\n","close":1}})", .cause = SenderRefused, .reason = "421 4.3.2 Shutting down"},
    ServerRow{.name = "RefusesRecipient", .first = R"({"RCPT":"550 5.1.1 No\n"})", .cause = RecipientRefused, .reason = "550 5.1.1 No"},
    ServerRow{.name = "Temporary452", .first = R"({"RCPT":"452 4.2.2 Full\n"})", .cause = RecipientRefused},
    ServerRow{.name = "MultiLineReplies", .first = R"({"greeting":"220-127.0.0.1\n220-no spam\n220 ready\n","RCPT":"550-5.1.1 The mailbox\n550-5.1.1 does not\n550 5.1.1 exist\n"})", .cause = RecipientRefused, .reason = "exist"},
    ServerRow{.name = "RefusesData", .first = R"({"DATA":"554 5.5.1 No\n"})", .cause = MessageRefused},
    ServerRow{.name = "RefusesMessage", .first = R"({".":"554 5.6.0 No\n"})", .cause = MessageRefused, .reason = "554 5.6.0 No"},
    ServerRow{.name = "HangsUpDuringData", .first = R"({"DATA":{"text":"354 Go\n","close":1}})", .cause = Dropped, .reason = "连接中断"},
    ServerRow{.name = "HangsUpAfterTheMessage", .first = R"({".":{"close":1}})", .cause = Dropped},
    ServerRow{.name = "ReplyThatNeverEnds", .first = R"({"EHLO":{"text":"250-127.0.0.1 more\n","repeat":1}})", .cause = Timeout},
    // Each reply in time, the whole conversation not: the total time-out ends it.
    ServerRow{.name = "DripsEveryReplyJustInTime", .first = R"({"EHLO":{"text":"250-STARTTLS\n250 AUTH PLAIN LOGIN\n","drip_ms":8},"AUTH":{"text":"235 OK\n","drip_ms":90},"MAIL":{"text":"250 OK\n","drip_ms":90},"RCPT":{"text":"250 OK\n","drip_ms":90},"DATA":{"text":"354 Go\n","drip_ms":90}})", .cause = Timeout},
    ServerRow{.name = "AnswersLikeAWebServer", .first = R"({"greeting":{"text":"HTTP/1.1 400 Bad\nContent-Length: 0\n\n","close":1}})", .cause = Dropped},
    ServerRow{.name = "SendsBinaryNoise", .first = R"({"greeting":{"text":"\u0000\u00ff\u0080\u001b[2J\u00fe\n","repeat":1}})", .cause = Timeout},
    ServerRow{.name = "HundredKilobyteReplyLine", .first = R"({"RCPT":{"text":"550 5.1.1 \n","pad":102400}})", .cause = RecipientRefused},
    ServerRow{.name = "StallsAtMail", .first = R"({"MAIL":{"stall":1}})", .cause = Timeout, .reason = "响应超时|请检查网络连接"},
    ServerRow{.name = "StallsAfterTheMessage", .first = R"({".":{"stall":1}})", .cause = Timeout},
    ServerRow{.name = "StallsHalfwayThroughAReply", .first = R"({"MAIL":{"text":"250-2.1.0 OK\n250 2.1","stall":1}})", .cause = Timeout}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(GatewaySubmission, SendsFromSeveralThreadsAtOnce) {
    const SmtpPeer server({});
    std::atomic<int> failures = 0;
    std::vector<std::thread> senders;
    for (int i = 0; i < 3; ++i) {
        senders.emplace_back([&] {
            try {
                submitMail(submissionTo(server.port()), quick());
            } catch (const MailError&) {
                ++failures;
            }
        });
    }
    for (std::thread& sender : senders) sender.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(server.events("mail").size(), 3);
}

}  // namespace
}  // namespace zelvo::smtp
