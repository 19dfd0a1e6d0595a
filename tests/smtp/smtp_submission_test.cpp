// The gateway submission over libcurl against real and hostile servers on 127.0.0.1: what the
// gateway gets and over which route, how each failure is told, and what cannot be sent at all.
#include "smtp/smtp_submission.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QJsonDocument>

#include "sms/failure_report.h"
#include "sms/mail_error.h"
#include "support/smtp_peer.h"

namespace zelvo::smtp {
namespace {

using namespace sms;
using testing::eventsOf;
using testing::SmtpPeer;

constexpr const char* kNoStartTls = R"({"EHLO":"250-127.0.0.1\n250 AUTH PLAIN LOGIN\n"})";

struct ServerRow {
    const char* name;
    // The STARTTLS route: "" the real server, "untrusted" (its certificate is not trusted),
    // "nostore" (the system trusts no certificate at all), "folder" (the real server, trusted
    // through a hashed folder alone), "nofolder" (untrusted, the system's folder empty), "none"
    // (nothing listens), "never" (connections never complete), or a raw peer's script (see
    // smtp_peer.h).
    QByteArray first = "";
    // The implicit-TLS route: "" nothing listens, "implicit" the real server, "untrusted".
    QByteArray second = "";
    bool sent = false;
    FailureCause cause = FailureCause::Other;
    const char* reason = "";  // words of the failure's details
    QString password = testing::kPeerPassword;
    void (*config)(AppConfig&) = nullptr;              // changes the configuration
    void (*submission)(GatewaySubmission&) = nullptr;  // changes the submission it makes
};
void PrintTo(const ServerRow& row, std::ostream* out) {
    *out << row.name;
}

using enum FailureCause;

class ServerTest : public ::testing::TestWithParam<ServerRow> {};

TEST_P(ServerTest, TheGatewayGetsTheMailOrTheFailureSaysWhy) {
    const ServerRow& row = GetParam();
#ifdef Q_OS_WIN
    if (row.first == "nostore") GTEST_SKIP() << "Windows' own certificate store is never empty";
    if (row.first.endsWith("folder")) GTEST_SKIP() << "Windows keeps no certificate folder";
#endif
    if (testing::underWine() && (row.first == "untrusted" || row.second == "untrusted"))
        GTEST_SKIP() << "Wine's Schannel accepts a certificate that its store does not trust";
    std::optional<SmtpPeer> first, second;
    if (row.first != "none")
        first.emplace(SmtpPeer::Options{.script = row.first.startsWith('{') ? row.first : "",
                                        .neverAccepts = row.first == "never"});
    if (!row.second.isEmpty()) second.emplace(SmtpPeer::Options{.implicitTls = true});
    const int firstPort = first ? first->port() : 1;
    const bool untrusted = row.first == "untrusted" || row.second == "untrusted";
    TransportOptions options{testing::kTestTimeouts, untrusted ? QString() : SmtpPeer::caFile()};
    const QTemporaryDir emptyStore;  // the system's store, or its folder, with nothing in it
    if (row.first == "nostore" || row.first.endsWith("folder"))
        options = {options.timeouts, row.first == "nostore" ? emptyStore.filePath("none.pem") : "",
                   row.first == "folder" ? SmtpPeer::caFolder() : emptyStore.path()};

    GatewaySubmission submission;
    try {
        // The submission the send of one SMS makes, to the servers on 127.0.0.1.
        AppConfig config;
        config.smtpHost = QStringLiteral("127.0.0.1");
        config.smtpPort = firstPort;
        config.smtpsPort = second ? second->port() : 2;
        config.gatewayAddress = QStringLiteral("sms@139.com");
        if (row.config) row.config(config);
        submission = gatewaySubmission(config, QStringLiteral("13800138000@139.com"), row.password,
                                       QStringLiteral("13900139000,13800138000"),
                                       QStringLiteral("今晚七点开会"));
        if (row.submission) row.submission(submission);
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
        EXPECT_TRUE(row.cause == InvalidInput ||
                    details.contains(QStringLiteral("127.0.0.1, 端口 %1").arg(firstPort)));
        for (const QString& secret : {row.password, QString(row.password.toUtf8().toBase64())})
            EXPECT_FALSE(details.contains(secret)) << details.toStdString();
        EXPECT_FALSE(details.contains(u'\x1b')) << details.toStdString();
    }

    // Over TLS only a trusted server hears anything, and a first route that was left heard no
    // login.
    EXPECT_TRUE((row.first != "untrusted" && row.first != "nostore" && row.first != "nofolder") ||
                eventsOf(first, "command").isEmpty());
    for (const QJsonObject& command : eventsOf(first, "command"))
        EXPECT_TRUE(!second || command["verb"] != "AUTH" || !row.sent);
    EXPECT_TRUE(!second || second->events("auth").isEmpty() == second->events("mail").isEmpty());
    const QList<QJsonObject> mails = eventsOf(first, "mail") + eventsOf(second, "mail");
    ASSERT_EQ(mails.size(), row.sent ? 1 : 0);
    if (!row.sent) return;
    const QJsonObject& mail = mails[0];
    EXPECT_EQ(mail["envelope"].toString(), submission.sender + " > " + submission.gateway + "\n" +
                                               submission.subject + "\n" + submission.text);
    EXPECT_EQ(mail["login"].toString() + " " + mail["password"].toString(),
              "13800138000 " + row.password);
    // A clean plain-text message in UTF-8 with CRLF line ends, a Message-ID and the date of now.
    EXPECT_TRUE(mail["type"] == "text/plain; utf-8" && mail["crlf_only"].toBool() &&
                mail["defects"].toInt() == 0 && mail["message_id"].toString().startsWith('<') &&
                qAbs(mail["date"].toDouble() - QDateTime::currentSecsSinceEpoch()) < 600)
        << QJsonDocument(mail).toJson().toStdString();
    // Over TLS, and with the login data in the AUTH command: some servers refuse a bare AUTH.
    for (const QJsonObject& auth : eventsOf(first, "auth") + eventsOf(second, "auth"))
        EXPECT_TRUE((auth["mechanism"] == "PLAIN" || auth["mechanism"] == "LOGIN") &&
                    auth["initial_response"].toBool() && auth["tls"].toBool());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Servers, ServerTest, ::testing::Values(
    // What cannot be sent never reaches a server: a server that is not set, a port that does not
    // exist, and a line break, which would end an SMTP command early and pass the rest off as
    // commands of our own.
    ServerRow{.name = "NoServer", .first = "none", .cause = InvalidInput, .reason = "no SMTP server", .config = [](AppConfig& c) { c.smtpHost.clear(); }},
    ServerRow{.name = "BlankServer", .first = "none", .cause = InvalidInput, .reason = "no SMTP server", .config = [](AppConfig& c) { c.smtpHost = " \t"; }},
    ServerRow{.name = "Port0", .first = "none", .cause = InvalidInput, .reason = "port 0", .config = [](AppConfig& c) { c.smtpPort = 0; }},
    ServerRow{.name = "Port65536", .first = "none", .cause = InvalidInput, .reason = "port 65536", .config = [](AppConfig& c) { c.smtpPort = 65536; }},
    ServerRow{.name = "SmtpsPort0", .first = "none", .cause = InvalidInput, .reason = "port 0", .config = [](AppConfig& c) { c.smtpsPort = 0; }},
    ServerRow{.name = "LineFeedInHost", .first = "none", .cause = InvalidInput, .reason = "line breaks", .config = [](AppConfig& c) { c.smtpHost = "127.0.0.1\nx"; }},
    ServerRow{.name = "UrlInHost", .first = "none", .cause = InvalidInput, .reason = "server name", .config = [](AppConfig& c) { c.smtpHost = "a@127.0.0.1/x"; }},
    ServerRow{.name = "CarriageReturnInLogin", .first = "none", .cause = InvalidInput, .reason = "login name", .submission = [](GatewaySubmission& s) { s.login = "a\rb"; }},
    ServerRow{.name = "LineFeedInPassword", .first = "none", .cause = InvalidInput, .reason = "password", .submission = [](GatewaySubmission& s) { s.password = "a\nQUIT"; }},
    ServerRow{.name = "NulInPassword", .first = "none", .cause = InvalidInput, .reason = "password", .submission = [](GatewaySubmission& s) { s.password = QString(QChar(0)); }},
    ServerRow{.name = "LineBreakInFrom", .first = "none", .cause = InvalidInput, .reason = "From", .submission = [](GatewaySubmission& s) { s.sender += "\r\nRCPT TO:<x@y>"; }},
    ServerRow{.name = "LineBreakInTo", .first = "none", .cause = InvalidInput, .reason = "To", .config = [](AppConfig& c) { c.gatewayAddress += "\r\nRCPT TO:<x@y>"; }},
    ServerRow{.name = "LineBreakInSubject", .first = "none", .cause = InvalidInput, .reason = "Subject", .submission = [](GatewaySubmission& s) { s.subject += "\r\nBcc: x@y"; }},
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
    // The system's hashed folder is enough to trust a server; where it holds nothing, the
    // system's bundle is still read, so the refusal is the certificate's, not an empty store's.
    ServerRow{.name = "TrustedThroughTheHashedFolderAlone", .first = "folder", .sent = true},
    ServerRow{.name = "EmptyFolderStillReadsTheBundle", .first = "nofolder", .cause = Tls},
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

}  // namespace
}  // namespace zelvo::smtp
