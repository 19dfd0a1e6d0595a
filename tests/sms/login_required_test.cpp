// A send that is told to log in never hands its message to a server it could not log in to.
#include <gtest/gtest.h>

#include <functional>

#include "sms/cdo_message.h"
#include "support/scripted_smtp_peer.h"

namespace zelvo::sms {
namespace {

using namespace std::chrono_literals;
using Peer = testing::ScriptedSmtpPeer;

struct LoginCase {
    const char* name;
    std::function<void(Peer::Script&)> server;  // changes to a well-behaved server
    int authenticate;                           // smtpauthenticate: 1 basic, 0 none
    bool delivered;
};
void PrintTo(const LoginCase& c, std::ostream* out) {
    *out << c.name;
}

void offerNoAuth(Peer::Script& s) {
    s.replies["EHLO"] = {"250-127.0.0.1\r\n250 8BITMIME\r\n"};
    s.replies.erase("AUTH");
}

void knowOnlyHelo(Peer::Script& s) {
    s.replies["EHLO"] = {"500 5.5.1 Command unrecognized\r\n"};
    s.replies.erase("AUTH");
}

class LoginRequiredTest : public ::testing::TestWithParam<LoginCase> {};

TEST_P(LoginRequiredTest, MessageGoesOnlyWhereTheLoginWasAccepted) {
    const LoginCase& c = GetParam();
    Peer::Script script = Peer::wellBehaved();
    if (c.server) c.server(script);
    const Peer peer(script);

    CdoMessage mail({{2s, 1s, 3s}, {}});
    mail.From = QStringLiteral("13800138000@139.com");
    mail.To = QStringLiteral("sms@139.com");
    mail.Subject = QStringLiteral("13900139000");
    mail.Textbody = QStringLiteral("你好");
    CdoFields& fields = mail.Configuration.Fields;
    const QString prefix = QLatin1String(kCdoConfigNamespace);
    fields.Item(prefix + "sendusing") = 2;
    fields.Item(prefix + "smtpserver") = QStringLiteral("127.0.0.1");
    fields.Item(prefix + "smtpserverport") = peer.port();
    fields.Item(prefix + "smtpauthenticate") = c.authenticate;
    fields.Item(prefix + "sendusername") = QStringLiteral("13800138000");
    fields.Item(prefix + "sendpassword") = QStringLiteral("secret");
    fields.Update();

    if (c.delivered) {
        EXPECT_NO_THROW(mail.send());
        EXPECT_EQ(peer.messages().size(), 1);
    } else {
        try {
            mail.send();
            ADD_FAILURE() << "send() returned";
        } catch (const MailError& error) {
            EXPECT_TRUE(QString::fromUtf8(error.what()).contains("no login we can use"))
                << error.what();
        }
        EXPECT_TRUE(peer.messages().empty());
        EXPECT_FALSE(peer.verbs().contains("AUTH"));
    }
}

INSTANTIATE_TEST_SUITE_P(Servers, LoginRequiredTest,
                         ::testing::Values(LoginCase{"NoAuthOffered", offerNoAuth, 1, false},
                                           LoginCase{"KnowsOnlyHelo", knowOnlyHelo, 1, false},
                                           LoginCase{"NoAuthOfferedNoneAsked", offerNoAuth, 0,
                                                     true},
                                           LoginCase{"AuthOfferedAndAccepted", nullptr, 1, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zelvo::sms
