// The gateway submission and its submission over libcurl, below the window: what cannot be sent,
// and what each failure says. What the gateway gets and how each failure looks to the user are
// checked through the window (tests/app/send_command_test.cpp) and the command
// (tests/cli/send_command_test.cpp).
#include "smtp/smtp_submission.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "sms/mail_error.h"
#include "support/smtp_peer.h"

namespace zelvo::smtp {
namespace {

using namespace std::chrono_literals;
using namespace sms;
using testing::SmtpPeer;

const sms::TransportOptions kQuick{{1500ms, 1000ms, 2500ms}, {}};
const QByteArray kNoAuthOffered = R"({"EHLO":"250-127.0.0.1\n250 8BITMIME\n"})";

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
            submitMail(submission, kQuick);
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
            submitMail(submissionTo(peer ? peer->port() : 1), kQuick);
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

TEST(GatewaySubmission, SendsFromSeveralThreadsAtOnce) {
    const SmtpPeer server({});
    std::atomic<int> failures = 0;
    std::vector<std::thread> senders;
    for (int i = 0; i < 3; ++i) {
        senders.emplace_back([&] {
            try {
                submitMail(submissionTo(server.port()), kQuick);
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
