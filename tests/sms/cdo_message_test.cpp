// The mail object below the window: settings the window never gives, and what a failure says.
// What the gateway gets and how each failure looks to the user are checked through the window
// (tests/app/send_command_test.cpp).
#include "sms/cdo_message.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "support/smtp_peer.h"

namespace zelvo::sms {
namespace {

using namespace std::chrono_literals;
using testing::SmtpPeer;

const TransportOptions kQuick{{1500ms, 1000ms, 2500ms}, {}};
const QByteArray kNoAuthOffered = R"({"EHLO":"250-127.0.0.1\n250 8BITMIME\n"})";

QVariant& field(CdoMessage& mail, const char* shortName) {
    return mail.Configuration.Fields.Item(QLatin1String(kCdoConfigNamespace) + shortName);
}

// Fills the mail object the way the send command does.
void fill(CdoMessage& mail, int port) {
    mail.From = QStringLiteral("13800138000@139.com");
    mail.To = QStringLiteral("sms@139.com");
    mail.Subject = QStringLiteral("13900139000,13800138000");
    mail.Textbody = QStringLiteral("今晚七点开会");
    field(mail, "sendusing") = 2;
    field(mail, "smtpserver") = QStringLiteral("127.0.0.1");
    field(mail, "smtpserverport") = port;
    field(mail, "smtpauthenticate") = 1;
    field(mail, "sendusername") = QStringLiteral("13800138000");
    field(mail, "sendpassword") = testing::kPeerPassword;
    mail.Configuration.Fields.Update();
}

TEST(CdoFields, SendSeesOnlyUpdatedValues) {
    CdoFields fields;
    fields.Item(QLatin1String(kCdoConfigNamespace) + "smtpserver") = "a";
    EXPECT_FALSE(fields.committed("smtpserver").isValid());
    fields.Update();
    fields.Item(QLatin1String(kCdoConfigNamespace) + "smtpserver") = "b";
    EXPECT_EQ(fields.committed("smtpserver").toString(), "a");
}

// A setting or field that cannot be sent as it is never reaches the server: a line break
// would end an SMTP command early and pass the rest off as commands of our own.
TEST(CdoMessage, RefusesBadSettingsAndLineBreaksBeforeConnecting) {
    const SmtpPeer peer({.script = "{}"});
    const std::pair<const char*, std::function<void(CdoMessage&)>> rows[] = {
        {"sendusing 1", [](CdoMessage& m) { field(m, "sendusing") = 1; }},
        {"sendusing unset", [](CdoMessage& m) { field(m, "sendusing") = QVariant(); }},
        {"no server", [](CdoMessage& m) { field(m, "smtpserver") = QVariant(); }},
        {"NTLM", [](CdoMessage& m) { field(m, "smtpauthenticate") = 2; }},
        {"port 0", [](CdoMessage& m) { field(m, "smtpserverport") = 0; }},
        {"LF in host", [](CdoMessage& m) { field(m, "smtpserver") = "127.0.0.1\nx"; }},
        {"URL in host", [](CdoMessage& m) { field(m, "smtpserver") = "a@127.0.0.1/x"; }},
        {"CR in login", [](CdoMessage& m) { field(m, "sendusername") = "a\rb"; }},
        {"LF in password", [](CdoMessage& m) { field(m, "sendpassword") = "a\nQUIT"; }},
        {"NUL in password", [](CdoMessage& m) { field(m, "sendpassword") = QString(QChar(0)); }},
        {"CRLF in From", [](CdoMessage& m) { m.From += "\r\nRCPT TO:<x@y>"; }},
        {"CRLF in To", [](CdoMessage& m) { m.To += "\r\nRCPT TO:<x@y>"; }},
        {"CRLF in Subject", [](CdoMessage& m) { m.Subject += "\r\nBcc: x@y"; }},
    };
    for (const auto& [what, spoil] : rows) {
        CdoMessage mail(submitMail, kQuick);
        fill(mail, peer.port());
        spoil(mail);
        mail.Configuration.Fields.Update();
        try {
            mail.send();
            ADD_FAILURE() << what << ": sent";
        } catch (const MailError& error) {
            EXPECT_EQ(error.cause(), FailureCause::InvalidInput) << what;
        }
    }
    EXPECT_TRUE(peer.events("command").isEmpty());
}

// Each failure names its cause, carries the server's own words where it said any, and never
// holds the password.
TEST(CdoMessage, FailuresCarryTheirCauseAndNeverThePassword) {
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
        CdoMessage mail(submitMail, kQuick);
        fill(mail, peer ? peer->port() : 1);
        try {
            mail.send();
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

// Only a mail object told not to log in sends to a server that offers no login.
TEST(CdoMessage, SendsWithoutLoginOnlyWhenToldTo) {
    const SmtpPeer peer({.script = kNoAuthOffered});
    CdoMessage mail(submitMail, kQuick);
    fill(mail, peer.port());
    field(mail, "smtpauthenticate") = 0;
    mail.Configuration.Fields.Update();
    mail.send();
    EXPECT_EQ(peer.events("mail").size(), 1);
}

TEST(CdoMessage, SendsFromSeveralThreadsAtOnce) {
    const SmtpPeer server({});
    std::atomic<int> failures = 0;
    std::vector<std::thread> senders;
    for (int i = 0; i < 3; ++i) {
        senders.emplace_back([&] {
            CdoMessage mail(submitMail, kQuick);
            fill(mail, server.port());
            try {
                mail.send();
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
}  // namespace zelvo::sms
