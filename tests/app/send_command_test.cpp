#include <QTimer>

#include "support/smtp_test_server.h"
#include "window_fixture.h"

namespace zelvo::testing {
namespace {

using Kind = ScriptedPlatform::Kind;
using testing::SmtpTestServer;

const QString kMessage = QStringLiteral("今晚七点老地方见, 不见不散! Bring 2 tickets.");

// A window pointed at a real SMTP server on this machine, with an account and a list.
class SendTest : public WindowTest {
protected:
    void start(SmtpTestServer::Options options = {}) {
        options.login = QStringLiteral("13806012345");
        options.password = QStringLiteral("p@ss word");
        server = std::make_unique<SmtpTestServer>(options);
        config.smtpPort = server->port();
        config.smtpCaFile = server->caFile();
        open();
        window->txtFrom->setText(kTestAccount);
        window->txtPass->setText(QStringLiteral("p@ss word"));
        window->lstphone->setEntries({QStringLiteral("李三,13806012345"),
                                      QStringLiteral("王五,13906054321"),
                                      QStringLiteral("赵六,15012345678")});
    }

    // Clicks the send button; returns the button's caption and state while the box was open.
    std::pair<QString, bool> send(QAction* viaMenu = nullptr) {
        std::pair<QString, bool> during;
        platform->expectMsgBox(app::kAnswerOk, [&](const ScriptedPlatform::Call&) {
            during = {window->Command1->text(), window->Command1->isEnabled()};
        });
        if (viaMenu) {
            viaMenu->trigger();
        } else {
            QTest::mouseClick(window->Command1, Qt::LeftButton);
        }
        return during;
    }

    QString lastBox() const { return platform->callsOf(Kind::MsgBox).back().text; }

    void expectIdle() const {
        EXPECT_EQ(window->Command1->text(), QStringLiteral("发送短信"));
        EXPECT_TRUE(window->Command1->isEnabled());
    }

    std::unique_ptr<SmtpTestServer> server;
};

TEST_F(SendTest, PickedNumbersAndAChineseMessageReachTheGatewayAsOneMail) {
    start();
    clickEntry(2);
    clickEntry(0);
    type(window->txtTextbody, kMessage);
    ASSERT_EQ(window->txtTextbody->text(), kMessage);

    send();
    EXPECT_EQ(lastBox(), kSendSucceeded);
    EXPECT_EQ(platform->calls().back().title, QStringLiteral("提示"));
    EXPECT_EQ(platform->calls().back().style, 32);
    expectIdle();

    const auto mails = server->received();
    ASSERT_EQ(mails.size(), 1u);
    const auto& mail = mails[0];
    EXPECT_EQ(mail.mailFrom, kTestAccount);
    EXPECT_EQ(mail.rcptTos, QStringList{config.gatewayAddress});
    EXPECT_EQ(mail.login, QStringLiteral("13806012345"));
    EXPECT_EQ(mail.password, QStringLiteral("p@ss word"));
    EXPECT_EQ(mail.subject(), QStringLiteral("13806012345,15012345678"));
    EXPECT_EQ(mail.textBody(), kMessage);
    EXPECT_EQ(mail.content.count('\n'), mail.content.count("\r\n"));
    EXPECT_EQ(mail.content.count('\r'), mail.content.count("\r\n"));
    for (const auto& attempt : server->authAttempts()) {
        EXPECT_TRUE(attempt.mechanism == "PLAIN" || attempt.mechanism == "LOGIN");
        EXPECT_TRUE(attempt.initialResponse) << "bare AUTH " << attempt.mechanism.toStdString();
    }

    // Nothing is cleared: a second click sends the same mail again.
    EXPECT_EQ(window->txtSubject->text(), QStringLiteral("13806012345,15012345678"));
    EXPECT_EQ(window->txtTextbody->text(), kMessage);
    EXPECT_EQ(window->SelectedCount, 2);
    send();
    EXPECT_EQ(lastBox(), kSendSucceeded);
    const auto again = server->received();
    ASSERT_EQ(again.size(), 2u);
    EXPECT_EQ(again[1].subject(), again[0].subject());
    EXPECT_EQ(again[1].textBody(), again[0].textBody());
}

TEST_F(SendTest, MenuEntrySendsExactlyWhatTheButtonSends) {
    start();
    clickEntry(1);
    // Lines starting with dots must arrive as they are.
    const QString text = QStringLiteral("第一行.\r\n.第二行\r\n..\r\n.");
    window->txtTextbody->setText(text);
    send(menuEntry("M_send"));
    EXPECT_EQ(lastBox(), kSendSucceeded);
    const auto mails = server->received();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].subject(), QStringLiteral("13906054321"));
    EXPECT_EQ(mails[0].textBody(), text);
}

struct ServerFailure {
    const char* name;
    SmtpTestServer::Mode mode;
};

// Parameterised test names show the case name, not the bytes of the case.
void PrintTo(const ServerFailure& c, std::ostream* os) {
    *os << c.name;
}

class SendFailureTest : public SendTest, public ::testing::WithParamInterface<ServerFailure> {};

TEST_P(SendFailureTest, EndsInTheFailureBoxShownWhileSendingThenIdle) {
    config.smtpTimeouts = {std::chrono::milliseconds(2000), std::chrono::milliseconds(1000),
                           std::chrono::milliseconds(3000)};
    start({.mode = GetParam().mode});
    clickEntry(0);
    window->txtTextbody->setText(QStringLiteral("你好"));
    const auto during = send();
    EXPECT_EQ(lastBox(), kSendFailed);
    EXPECT_EQ(during.first, QStringLiteral("Sending..."));
    EXPECT_FALSE(during.second);
    expectIdle();
    EXPECT_TRUE(server->received().empty());
    EXPECT_EQ(window->txtTextbody->text(), QStringLiteral("你好"));
}

INSTANTIATE_TEST_SUITE_P(
    Servers, SendFailureTest,
    ::testing::Values(ServerFailure{"RefusedLogin", SmtpTestServer::Mode::RejectLogin},
                      ServerFailure{"RefusedRecipient", SmtpTestServer::Mode::RejectRecipient},
                      ServerFailure{"RefusedData", SmtpTestServer::Mode::RejectData},
                      ServerFailure{"NeverAnswers", SmtpTestServer::Mode::NeverAnswer},
                      ServerFailure{"DropsDuringData", SmtpTestServer::Mode::DropDuringData}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SendTest, PasswordIsSentOnlyAfterStartTls) {
    start({.startTls = true});
    clickEntry(0);
    window->txtTextbody->setText(QStringLiteral("加密"));
    send();
    EXPECT_EQ(lastBox(), kSendSucceeded);
    const auto attempts = server->authAttempts();
    ASSERT_FALSE(attempts.empty());
    for (const auto& attempt : attempts) {
        EXPECT_TRUE(attempt.tls);
    }
    ASSERT_EQ(server->received().size(), 1u);
    EXPECT_TRUE(server->received()[0].tlsAtAuth);
}

TEST_F(SendTest, WindowTakesNoInputWhileASendIsUnderWay) {
    config.smtpTimeouts = {std::chrono::milliseconds(2000), std::chrono::milliseconds(1500),
                           std::chrono::milliseconds(3000)};
    start({.mode = SmtpTestServer::Mode::NeverAnswer});
    clickEntry(0);
    window->txtTextbody->setText(QStringLiteral("hi"));
    bool poked = false;
    QTimer::singleShot(300, window.get(), [&] {
        poked = true;
        QTest::keyClicks(window->txtTextbody, QStringLiteral("zz"));
        QTest::mouseClick(window->Command3, Qt::LeftButton);
        clickEntry(1);
        window->close();
    });
    send();
    EXPECT_TRUE(poked);
    EXPECT_EQ(window->txtTextbody->text(), QStringLiteral("hi"));
    EXPECT_EQ(window->lstphone->picks(), std::vector<bool>({true, false, false}));
    EXPECT_EQ(platform->calls().size(), 1u);  // only the failure box
    EXPECT_TRUE(window->isVisible());
}

// The send check: which forms go to the server at all. A refused form never changes the
// button and never reaches the server.
struct CheckCase {
    const char* name;
    QString account;
    QString message;
    int clicks;  // on the first entry: 0 nothing picked, 2 field filled but nothing counted
    bool passes;
};

void PrintTo(const CheckCase& c, std::ostream* os) {
    *os << c.name;
}

class SendCheckTest : public SendTest, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(SendCheckTest, OnlyFormsThatPassTheCheckAreSent) {
    const CheckCase& c = GetParam();
    start();
    window->txtFrom->setText(c.account);
    for (int i = 0; i < c.clicks; ++i) {
        clickEntry(0);
    }
    window->txtTextbody->setText(c.message);
    const auto during = send();
    if (c.passes) {
        // Sent: either accepted (the button is Idle again before the success box) or refused
        // by the server while the button still read "Sending...".
        EXPECT_TRUE(lastBox() == kSendSucceeded || during.first == QStringLiteral("Sending..."));
    } else {
        EXPECT_EQ(lastBox(), kSendFailed);
        EXPECT_EQ(during.first, QStringLiteral("发送短信"));
        EXPECT_TRUE(during.second);
        EXPECT_TRUE(server->authAttempts().empty());
        EXPECT_TRUE(server->received().empty());
    }
    expectIdle();
}

INSTANTIATE_TEST_SUITE_P(
    Forms, SendCheckTest,
    ::testing::Values(
        CheckCase{"Message69", kTestAccount, QString(69, QChar(0x77ed)), 1, true},
        CheckCase{"Message70", kTestAccount, QString(69, QChar(0x77ed)) + "m", 1, false},
        CheckCase{"OneSpace", kTestAccount, QStringLiteral(" "), 1, true},
        CheckCase{"EmptyMessage", kTestAccount, QString(), 1, false},
        CheckCase{"Account18", QStringLiteral("1380601234@139.com"), "x", 1, false},
        CheckCase{"SuffixMissing", QStringLiteral("13806012345@139.net"), "x", 1, false},
        CheckCase{"Account20", QStringLiteral("138060123456@139.com"), "x", 1, false},
        CheckCase{"SuffixOtherCase", QStringLiteral("13806012345@139.COM"), "x", 1, false},
        CheckCase{"SuffixAtStart", QStringLiteral("@139.com13806012345"), "x", 1, true},
        CheckCase{"NothingPicked", kTestAccount, "x", 0, false},
        CheckCase{"FieldFilledButNothingCounted", kTestAccount, "x", 2, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zelvo::testing
