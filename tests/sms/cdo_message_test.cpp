#include "sms/cdo_message.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "support/smtp_test_server.h"

namespace zelvo::sms {
namespace {

using testing::SmtpTestServer;
using Mode = SmtpTestServer::Mode;
using namespace std::chrono_literals;

const QString kAccount = QStringLiteral("13800138000@139.com");
const QString kGateway = QStringLiteral("sms@139.com");
const QString kText = QStringLiteral("今晚七点开会");

QVariant& field(CdoMessage& mail, const char* shortName) {
    return mail.Configuration.Fields.Item(QLatin1String(kCdoConfigNamespace) + shortName);
}

// Fills the mail object the way the send command does.
void fill(CdoMessage& mail, int port, const QString& from = kAccount,
          const QString& password = QStringLiteral("secret")) {
    mail.From = from;
    mail.To = kGateway;
    mail.Subject = QStringLiteral("13900139000,13800138000");
    mail.Textbody = kText;
    field(mail, "sendusing") = 2;
    field(mail, "smtpserver") = QStringLiteral("127.0.0.1");
    field(mail, "smtpserverport") = port;
    field(mail, "smtpauthenticate") = 1;
    field(mail, "sendusername") = from.left(from.indexOf('@'));
    field(mail, "sendpassword") = password;
    mail.Configuration.Fields.Update();
}

TransportOptions quick(const QString& caFile = {}) {
    return {{5s, 5s, 10s}, caFile};
}

// The mail as the gateway gets it, a second send, STARTTLS (trusted and not) and the failures as
// the user sees them are checked through the window (tests/app/send_command_test.cpp,
// tests/app/hostile_server_test.cpp).
TEST(CdoFields, SendSeesOnlyUpdatedValues) {
    CdoFields fields;
    fields.Item(QLatin1String(kCdoConfigNamespace) + "smtpserver") = "a";
    EXPECT_FALSE(fields.committed("smtpserver").isValid());
    fields.Update();
    fields.Item(QLatin1String(kCdoConfigNamespace) + "smtpserver") = "b";
    EXPECT_EQ(fields.committed("smtpserver").toString(), "a");
    fields.Update();
    EXPECT_EQ(fields.committed("smtpserver").toString(), "b");
}

TEST(CdoMessage, SendsFromSeveralThreadsAtOnce) {
    SmtpTestServer server;
    std::vector<std::thread> senders;
    std::atomic<int> failures = 0;
    for (int i = 0; i < 3; ++i) {
        senders.emplace_back([&] {
            CdoMessage mail(quick());
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
    EXPECT_EQ(server.received().size(), 3u);
}

TEST(CdoMessage, LogsInWithAnEmptyLoginName) {
    SmtpTestServer server({.login = ""});
    CdoMessage mail(quick());
    fill(mail, server.port());
    field(mail, "sendusername") = QString();
    mail.Configuration.Fields.Update();
    mail.send();
    ASSERT_EQ(server.received().size(), 1u);
    EXPECT_TRUE(server.received()[0].authenticated);
    EXPECT_EQ(server.received()[0].login, "");
}

TEST(CdoMessage, RefusesBadConfigurationBeforeConnecting) {
    SmtpTestServer server;
    const std::pair<const char*, std::function<void(CdoMessage&)>> cases[] = {
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
        {"CRLF in Subject", [](CdoMessage& m) { m.Subject += "\r\nBcc: x@y"; }},
    };
    for (const auto& [what, spoil] : cases) {
        CdoMessage mail(quick());
        fill(mail, server.port());
        spoil(mail);
        mail.Configuration.Fields.Update();
        EXPECT_THROW(mail.send(), MailError) << what;
    }
    EXPECT_TRUE(server.authAttempts().empty());
    EXPECT_TRUE(server.received().empty());
}

TEST(CdoMessage, EveryFailureThrowsWithTheServersWords) {
    struct Case {
        const char* what;
        Mode mode;
        bool listening;
        const char* diagnostic;
    };
    const Case cases[] = {
        {"refused login", Mode::RejectLogin, true, "535"},
        {"refused recipient", Mode::RejectRecipient, true, "550 5.1.1 Mailbox unavailable"},
        {"refused data", Mode::RejectData, true, "554 5.6.0"},
        {"nothing listening", Mode::Accept, false, "connect"},
        {"never answers", Mode::NeverAnswer, true, "time"},
        {"drops during data", Mode::DropDuringData, true, "dropped"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SmtpTestServer server({.mode = c.mode});
        CdoMessage mail({{2s, 1s, 2s}, {}});
        fill(mail, c.listening ? server.port() : SmtpTestServer::unusedPort());
        try {
            mail.send();
            ADD_FAILURE() << "send() returned";
        } catch (const MailError& error) {
            EXPECT_TRUE(QString::fromUtf8(error.what()).contains(c.diagnostic)) << error.what();
            EXPECT_FALSE(QString::fromUtf8(error.what()).contains("secret")) << error.what();
        }
        EXPECT_TRUE(server.received().empty());
    }
}

}  // namespace
}  // namespace zelvo::sms
