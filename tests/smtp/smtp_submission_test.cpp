// The gateway submission and its submission over libcurl, below the window: what cannot be sent,
// and what each failure says. What the gateway gets and how each failure looks to the user are
// checked through the window (tests/app/send_command_test.cpp) and the command
// (tests/cli/send_command_test.cpp).
#include "smtp/smtp_submission.h"

#include <gtest/gtest.h>

#include <QJsonObject>
#include <atomic>
#include <thread>

#include "sms/mail_error.h"
#include "support/smtp_peer.h"

namespace zelvo::smtp {
namespace {

using namespace std::chrono_literals;
using namespace sms;
using testing::SmtpPeer;

// Trusts the peers' certificate, unless told not to.
sms::TransportOptions quick(bool trusted = true) {
    return {{1500ms, 1000ms, 2500ms, 700ms}, trusted ? SmtpPeer::caFile() : QString()};
}
const QByteArray kNoAuthOffered = R"({"EHLO":"250-127.0.0.1\n250-STARTTLS\n250 8BITMIME\n"})";

// The submission the send of one SMS makes to the server on 127.0.0.1 at `port`, then at
// `implicitPort` over implicit TLS, after `spoil` changed the configuration.
GatewaySubmission submissionTo(int port, void (*spoil)(AppConfig&) = nullptr,
                               int implicitPort = 1) {
    AppConfig config;
    config.smtpHost = QStringLiteral("127.0.0.1");
    config.smtpPort = port;
    config.smtpsPort = implicitPort;
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

// Each failure names its cause, carries the server's own words where it said any, and never
// holds the password. The login always comes first: a server that offers none gets no mail.
TEST(GatewaySubmission, FailuresCarryTheirCauseAndNeverThePassword) {
    const std::tuple<QByteArray, FailureCause, const char*> rows[] = {
        {"", FailureCause::Connect, ""},  // nothing listens
        {R"({"AUTH":"535 5.7.8 Bad credentials\n"})", FailureCause::LoginRefused, ""},
        {kNoAuthOffered, FailureCause::NoUsableLogin, ""},
        {R"({"MAIL":"553 5.1.8 Sender refused\n"})", FailureCause::SenderRefused, "553"},
        {R"({"RCPT":"550 5.1.1 Mailbox unavailable\n"})", FailureCause::RecipientRefused,
         "550 5.1.1 Mailbox unavailable"},
        {R"({".":"554 5.6.0 Message refused\n"})", FailureCause::MessageRefused, "554"},
        {R"({"MAIL":{"stall":1}})", FailureCause::Timeout, ""},
        {R"({"DATA":{"text":"354 Go\n","close":1}})", FailureCause::Dropped, ""},
    };
    for (const auto& [script, cause, words] : rows) {
        SCOPED_TRACE(script.toStdString());
        std::unique_ptr<SmtpPeer> peer;
        if (!script.isEmpty()) peer = std::make_unique<SmtpPeer>(SmtpPeer::Options{script});
        try {
            submitMail(submissionTo(peer ? peer->port() : 1), quick());
            ADD_FAILURE() << "sent";
        } catch (const MailError& error) {
            EXPECT_EQ(error.cause(), cause) << error.what();
            EXPECT_TRUE(QString::fromUtf8(error.what()).contains(words)) << error.what();
            EXPECT_FALSE(QString::fromUtf8(error.what()).contains("p@ss")) << error.what();
        }
        if (peer) {
            EXPECT_TRUE(peer->events("mail").isEmpty());
        }
    }
}

// Where port 25 is closed the mail goes over implicit TLS. The first route is given up only
// when no SMTP conversation started on it, before any login: once a server has greeted and gone
// secure, its outcome stands, so no mail is ever submitted twice.
TEST(GatewaySubmission, MovesToImplicitTlsOnlyWhenNoConversationStarted) {
    using enum FailureCause;
    struct Row {
        const char* what;
        // The STARTTLS route: a raw peer's script, "" the real server, "none" (nothing
        // listens) or "never" (connections never complete).
        QByteArray first;
        bool implicitListens = true;
        bool trusted = true;
        int sentOn = 2;                               // the route that took the mail, 0 for none
        FailureCause cause = Other, earlier = Other;  // of a failure; Other for none
    };
    // clang-format off
    const Row rows[] = {
        {"port 25 works", "", true, true, 1},
        {"nothing listens", "none"},
        {"accepts, never greets", R"({"greeting":{"stall":1}})"},
        {"never completes the connection", "never"},
        {"closes before greeting", R"({"greeting":{"text":"","close":1}})"},
        {"offers no STARTTLS", R"({"EHLO":"250-127.0.0.1\n250 AUTH PLAIN LOGIN\n"})"},
        {"refuses STARTTLS", R"({"STARTTLS":"454 4.7.0 TLS not available\n"})"},
        {"greets, refuses the login", R"({"AUTH":"535 5.7.8 No\n"})", true, true, 0, LoginRefused},
        {"greets, then silent", R"({"EHLO":{"stall":1}})", true, true, 0, Timeout},
        {"greets, then hangs up", R"({"MAIL":{"close":1}})", true, true, 0, Dropped},
        {"both closed", "none", false, true, 0, Connect, Connect},
        {"never greets, 465 closed", R"({"greeting":{"stall":1}})", false, true, 0, Connect, Timeout},
        {"no STARTTLS, 465 closed", R"({"EHLO":"250 127.0.0.1\n"})", false, true, 0, Connect, NoStartTls},
        {"465 untrusted", "none", true, false, 0, Tls, Connect},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::unique_ptr<SmtpPeer> first, implicit;
        if (row.first != "none")
            first = std::make_unique<SmtpPeer>(
                SmtpPeer::Options{.script = row.first.startsWith('{') ? row.first : QByteArray(),
                                  .neverAccepts = row.first == "never"});
        if (row.implicitListens)
            implicit = std::make_unique<SmtpPeer>(SmtpPeer::Options{.implicitTls = true});
        try {
            const TlsMode used = submitMail(
                submissionTo(first ? first->port() : 1, nullptr, implicit ? implicit->port() : 1),
                quick(row.trusted));
            EXPECT_EQ(used, row.sentOn == 1 ? TlsMode::StartTls : TlsMode::Implicit);
            EXPECT_NE(row.sentOn, 0);
        } catch (const MailError& error) {
            EXPECT_EQ(row.sentOn, 0) << error.what();
            EXPECT_EQ(error.cause(), row.cause) << error.what();
            const MailError* earlier = error.earlierRoute();
            EXPECT_EQ(earlier ? earlier->cause() : Other, row.earlier);
            // A silent first route is left at its budget, not at the connect time-out.
            if (row.earlier == Timeout) {
                EXPECT_TRUE(QString(earlier->what()).contains("no greeting within 700 ms"))
                    << earlier->what();
            }
            EXPECT_EQ(error.place().tls, earlier ? TlsMode::Implicit : TlsMode::StartTls);
        }
        if (first) {
            EXPECT_EQ(first->events("mail").size(), row.sentOn == 1 ? 1 : 0);
            // A route that was left heard no login.
            for (const QJsonObject& command : first->events("command"))
                EXPECT_TRUE(command["verb"] != "AUTH" || row.sentOn == 0);
        }
        if (implicit) {
            EXPECT_EQ(implicit->events("mail").size(), row.sentOn == 2 ? 1 : 0);
            EXPECT_EQ(implicit->events("auth").isEmpty(), row.sentOn != 2);
        }
    }
}

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
