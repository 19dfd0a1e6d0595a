// Sending to servers that refuse, misbehave or are no SMTP server at all. Whatever the peer
// does, the send ends in the failure box within the time-out, the button is Idle again, the
// window takes input again and no message is delivered.
#include <functional>

#include "support/scripted_smtp_peer.h"
#include "support/smtp_test_server.h"
#include "window_fixture.h"

static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace zelvo::testing {
namespace {

using namespace std::chrono_literals;
using Kind = ScriptedPlatform::Kind;
using Peer = ScriptedSmtpPeer;

const QString kPassword = QStringLiteral("secret");

class HostileServerTest : public WindowTest {
protected:
    // A window with an account, a list and one picked number, sending to 127.0.0.1:port.
    void openAt(int port, const QString& caFile = {}) {
        config.smtpPort = port;
        config.smtpCaFile = caFile;
        config.smtpTimeouts = {2000ms, 1000ms, 3000ms};
        open();
        window->txtFrom->setText(kTestAccount);
        window->txtPass->setText(kPassword);
        window->lstphone->setEntries(
            {QStringLiteral("李三,13806012345"), QStringLiteral("王五,13906054321")});
        clickEntry(0);
        window->txtTextbody->setText(QStringLiteral("你好"));
    }

    // Clicks the send button; returns the one box's text.
    QString send() {
        platform->expectMsgBox();
        QTest::mouseClick(window->Command1, Qt::LeftButton);
        const auto boxes = platform->callsOf(Kind::MsgBox);
        return boxes.empty() ? QString() : boxes.back().text;
    }

    // The button reads Idle and is enabled, and typing and clicking reach the window again.
    void expectIdleAndTakingInput() {
        EXPECT_EQ(window->Command1->text(), QStringLiteral("发送短信"));
        EXPECT_TRUE(window->Command1->isEnabled());
        window->txtTextbody->setFocus();
        QTest::keyClicks(window->txtTextbody, QStringLiteral("ok"));
        EXPECT_TRUE(window->txtTextbody->text().contains(QStringLiteral("ok")))
            << window->txtTextbody->text().toStdString();
        clickEntry(1);
        EXPECT_EQ(window->SelectedCount, 2);
        EXPECT_EQ(window->txtSubject->text(), QStringLiteral("13806012345,13906054321"));
        EXPECT_TRUE(window->isVisible());
    }
};

struct HostileCase {
    const char* name;
    std::function<void(Peer::Script&)> misbehave;  // applied to a well-behaved server
};
void PrintTo(const HostileCase& c, std::ostream* out) {
    *out << c.name;
}

class HostilePeerTest : public HostileServerTest,
                        public ::testing::WithParamInterface<HostileCase> {};

TEST_P(HostilePeerTest, EndsInTheFailureBoxWithNothingDelivered) {
    Peer::Script script = Peer::wellBehaved();
    GetParam().misbehave(script);
    const Peer peer(script);
    openAt(peer.port());

    EXPECT_EQ(send(), kSendFailed);
    EXPECT_TRUE(peer.messages().empty());
    expectIdleAndTakingInput();
}

QByteArray noise() {
    QByteArray bytes;
    for (int i = 0; i < 256; ++i) bytes += char(i);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Peers, HostilePeerTest,
    ::testing::Values(
        HostileCase{"Greets554",
                    [](Peer::Script& s) { s.greeting = {"554 5.3.2 No SMTP service here\r\n"}; }},
        HostileCase{"KnowsOnlyHelo",
                    [](Peer::Script& s) {
                        s.replies["EHLO"] = {"500 5.5.1 Command unrecognized: EHLO\r\n"};
                        s.replies.erase("AUTH");
                    }},
        HostileCase{"OffersNoAuth",
                    [](Peer::Script& s) {
                        s.replies["EHLO"] = {"250-127.0.0.1\r\n250 8BITMIME\r\n"};
                        s.replies.erase("AUTH");
                    }},
        HostileCase{"OffersOnlyMechanismsWeDoNotSpeak",
                    [](Peer::Script& s) {
                        s.replies["EHLO"] = {
                            "250-127.0.0.1\r\n250 AUTH CRAM-MD5 DIGEST-MD5 NTLM XOAUTH2\r\n"};
                    }},
        HostileCase{
            "Closes421MidSession",
            [](Peer::Script& s) {
                s.replies["MAIL"] = {"421 4.3.2 Service shutting down\r\n", 0ms, false, true};
            }},
        HostileCase{"Temporary452",
                    [](Peer::Script& s) {
                        s.replies["RCPT"] = {"452 4.2.2 Mailbox full, try again later\r\n"};
                    }},
        HostileCase{"MultiLineReplies",
                    [](Peer::Script& s) {
                        s.greeting = {"220-127.0.0.1 ESMTP\r\n220-no spam\r\n220 ready\r\n"};
                        s.replies["RCPT"] = {
                            "550-5.1.1 The mailbox\r\n550-5.1.1 does not\r\n550 5.1.1 exist\r\n"};
                    }},
        HostileCase{"MultiLineReplyThatNeverEnds",
                    [](Peer::Script& s) {
                        s.replies["EHLO"] = {"250-127.0.0.1 still listing\r\n", 0ms, true};
                    }},
        HostileCase{"DripsOneByteASecond",
                    [](Peer::Script& s) {
                        s.greeting = {"220 127.0.0.1 ESMTP slow peer\r\n", 1000ms};
                    }},
        HostileCase{"AnswersLikeAWebServer",
                    [](Peer::Script& s) {
                        s.greeting = {
                            "HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n"
                            "Connection: close\r\n\r\n",
                            0ms, false, true};
                    }},
        HostileCase{"SendsBinaryNoise",
                    [](Peer::Script& s) {
                        s.greeting = {noise(), 0ms, true};
                    }},
        HostileCase{"HundredKilobyteReplyLine",
                    [](Peer::Script& s) {
                        s.replies["RCPT"] = {"550 5.1.1 " + QByteArray(100 * 1024, 'x') + "\r\n"};
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HostileServerTest, CertificateThatDoesNotVerifyEndsBeforeTheLogin) {
    const SmtpTestServer server(
        {.login = QStringLiteral("13806012345"), .password = kPassword, .startTls = true});
    openAt(server.port());  // the server's own certificate is not trusted
    EXPECT_EQ(send(), kSendFailed);
    EXPECT_TRUE(server.authAttempts().empty());
    EXPECT_TRUE(server.received().empty());
    expectIdleAndTakingInput();
}

// The scripted peer itself: a well-behaved script takes the mail, so the failures above come
// from the misbehaviour alone.
TEST_F(HostileServerTest, WellBehavedPeerTakesTheMail) {
    const Peer peer(Peer::wellBehaved());
    openAt(peer.port());
    EXPECT_EQ(send(), kSendSucceeded);
    ASSERT_EQ(peer.messages().size(), 1);
    EXPECT_TRUE(peer.verbs().contains("AUTH"));
}

// A line that starts with "." or is only "." would end the message early or lose its dot if
// it were sent as it is.
TEST_F(HostileServerTest, BodyLinesStartingWithADotArriveIntact) {
    const SmtpTestServer server({.login = QStringLiteral("13806012345"), .password = kPassword});
    openAt(server.port());
    const QString body = QStringLiteral(".\r\n..\r\n.hidden\r\n. \r\n结束\r\n.");
    window->txtTextbody->setText(body);
    ASSERT_EQ(window->txtTextbody->text(), body);
    EXPECT_EQ(send(), kSendSucceeded);
    const auto mails = server.received();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].textBody(), body);
}

}  // namespace
}  // namespace zelvo::testing
