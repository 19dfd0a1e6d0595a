// The send button and menu entry end to end: the box the user sees, the button while it shows,
// what the server received, the route kept in set.ini, and the window while a send is under way.
// How each server and each failure is told is checked below the window (tests/smtp, tests/sms).
// A hostile server must not hold a send past its time limits: a short limit catches one that hangs.
// Time-out: 60 s
#include <QAbstractButton>
#include <QDir>
#include <QTimer>

#include "support/smtp_peer.h"
#include "window_fixture.h"

namespace zelvo::testing {
namespace {

const QString kMessage = QStringLiteral("今晚七点老地方见, 不见不散! Bring 2 tickets.");
const QString kPicked = QStringLiteral("13806012345,15012345678");  // entries 2 and 0
const QString kIdle = QStringLiteral("发送短信");
const QString kSending = QStringLiteral("Sending...");
constexpr const char* kNoStartTls = R"({"EHLO":"250-127.0.0.1\n250 AUTH PLAIN LOGIN\n"})";

class WindowSendTest : public WindowTest {
protected:
    // A window with three entries, sending to a server that answers from script (the real one
    // when empty) and, when asked, to one of implicit TLS on the second route.
    void start(const QByteArray& script = {}, bool implicitRoute = false, int refusedMail = 0) {
        peer = std::make_unique<SmtpPeer>(
            SmtpPeer::Options{.script = script, .refusedMail = refusedMail});
        if (implicitRoute)
            implicit = std::make_unique<SmtpPeer>(SmtpPeer::Options{.implicitTls = true});
        config.smtpPort = peer->port();
        config.smtpsPort = implicit ? implicit->port() : 2;
        config.smtpCaFile = SmtpPeer::caFile();
        config.smtpTimeouts = kTestTimeouts;
        open();
        numberList()->setEntries(
            entriesOf({"李三,13806012345", "王五,13906054321", "赵六,15012345678"}));
    }

    // Sends as the user would; returns the button's caption and state while the box shows.
    std::pair<QString, bool> send(bool viaMenu = false) {
        std::pair<QString, bool> during;
        desktop->expectBox(app::Answer::Ok, [&](const ScriptedDesktop::Call&) {
            during = {sendButton()->text(), sendButton()->isEnabled()};
        });
        if (viaMenu)
            trigger("sendAction");
        else
            QTest::mouseClick(sendButton(), Qt::LeftButton);
        return during;
    }

    std::unique_ptr<SmtpPeer> peer, implicit;
};

struct SendRow {
    const char* name;
    bool viaMenu = false;
    QString message = kMessage;
    std::vector<int> clicks = {2, 0};
    QString password = kPeerPassword;
    QString box = kSendSucceeded;
    bool serverHears = true;
    bool recordBlocked = false;  // a folder stands where sent.log would be written
    // With 长短信分条发送 on: the parts in order, of which the server refuses the n-th.
    QStringList parts = {};
    int refusedMail = 0;
    const char* why = "535";  // in the details of a failed submission
};

void PrintTo(const SendRow& row, std::ostream* out) {
    *out << row.name;
}

class SendOutcomeTest : public WindowSendTest, public ::testing::WithParamInterface<SendRow> {};

TEST_P(SendOutcomeTest, ShowsTheOutcomeWithTheButtonAsItWas) {
    const SendRow& row = GetParam();
    start({}, false, row.refusedMail);
    type(accountEdit(), kTestAccount);
    type(passwordEdit(), row.password);
    for (const int entry : row.clicks) clickEntry(entry);
    if (!row.parts.isEmpty()) QTest::mouseClick(control("splitCheckBox"), Qt::LeftButton);
    type(messageEdit(), row.message);
    const QString subject = recipientsEdit()->text();
    // A send that went out stands as sent; the record's failure is told after it.
    if (row.recordBlocked) {
        ASSERT_TRUE(QDir(folder->path()).mkdir("sent.log"));
        desktop->script({"ok"});
    }
    const auto during = send(row.viaMenu);
    ASSERT_EQ(desktop->log().size(), row.recordBlocked ? 2 : 1);
    EXPECT_EQ(desktop->log()[0], "box 提示: " + row.box);
    EXPECT_TRUE(!row.recordBlocked ||
                desktop->log()[1].contains(QDir::toNativeSeparators(path("sent.log"))));
    // The button reads "Sending..." while a failed submission is told, and is back before a
    // success or a refused form is. Nothing is cleared.
    const bool submissionFailed = row.serverHears && row.box.startsWith(kSendFailed);
    EXPECT_EQ(std::tuple(during, sendButton()->text(), sendButton()->isEnabled(),
                         messageEdit()->text(), recipientsEdit()->text()),
              std::tuple(std::pair(submissionFailed ? kSending : kIdle, !submissionFailed), kIdle,
                         true, row.message, subject));
    // A failed submission's details say why, never with the password; a refused form has none.
    const QString details = desktop->calls().front().details;
    EXPECT_EQ(details.contains(row.why) && !details.contains(row.password), submissionFailed)
        << details.toStdString();
    EXPECT_EQ(details.isEmpty(), !submissionFailed);

    // A send past the check is one line of the record for each part (which 发送记录 opens, see
    // the commands' table): sent, failed, or not sent after a failed one; never the password.
    const QStringList parts = row.parts.isEmpty() ? QStringList(row.message) : row.parts;
    const qsizetype taken =
        row.box == kSendSucceeded ? parts.size() : std::max(row.refusedMail - 1, 0);
    const bool recorded = row.serverHears && !row.recordBlocked;
    const QString record = QString::fromUtf8(readFile(path("sent.log")));
    EXPECT_EQ(std::tuple(record.count('\n'), record.contains(row.password)),
              std::tuple(recorded ? parts.size() : 0, false));
    QStringList mails;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString line = "\t" + kPicked + "\t" + parts[i] + "\t" +
                             (i < taken    ? "已发送"
                              : i == taken ? "短信发送失败: "
                                           : "没有发送: ");
        EXPECT_EQ(record.contains(line), recorded) << record.toStdString();
        if (i < taken)
            mails << kTestAccount + " > " + config.gatewayAddress + "\n" + kPicked + "\n" +
                         parts[i];
    }

    EXPECT_EQ(peer->events("auth").isEmpty(), !row.serverHears);
    QStringList heard;
    for (const QJsonObject& mail : peer->events("mail")) heard << mail["envelope"].toString();
    EXPECT_EQ(heard, mails);
}

const QString k150 = QStringLiteral("一二三四五六七八九十").repeated(15);
const QStringList k150Parts = {"(1/3)" + k150.left(64), "(2/3)" + k150.mid(64, 64),
                               "(3/3)" + k150.mid(128)};

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Rows, SendOutcomeTest,
    ::testing::Values(
        SendRow{.name = "PickedNumbersAndAChineseMessage"},
        SendRow{.name = "MenuEntry", .viaMenu = true},
        SendRow{.name = "SentButNotRecorded", .recordBlocked = true},
        SendRow{.name = "NothingPickedRefused", .clicks = {}, .box = kSendFailed, .serverHears = false},
        SendRow{.name = "WrongPassword", .password = "p@ss w0rd", .box = kSendFailed},
        SendRow{.name = "LongInThreeParts", .message = k150, .parts = k150Parts},
        SendRow{.name = "SecondPartRefused", .message = k150, .box = kSendFailed + "\n已发送第 1 条, 第 2 至 3 条没有发送。", .parts = k150Parts, .refusedMail = 2, .why = "554"},
        SendRow{.name = "WrongPasswordNoPartSent", .message = k150, .password = "p@ss w0rd", .box = kSendFailed + "\n第 1 至 3 条都没有发送。", .parts = k150Parts}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// The route that worked is kept in set.ini, in a section of its own, by every save of the
// window, and a window started from that file goes straight to it; so is 长短信分条发送 when on.
// A file without them saves byte for byte as it was.
TEST_F(WindowSendTest, SetIniKeepsTheRouteThatWorkedAndTheSplitBox) {
    const QByteArray plain =
        gbk("[UserMsg]\r\nUser=" + kTestAccount + "\r\nPassword=" + kPeerPassword +
            "\r\n[Phone]\r\n0=李三,13806012345\r\n1=王五,13906054321\r\n2="
            "赵六,15012345678\r\ntotal=2\r\n");
    const QByteArray remembered = plain + "[Smtp]\r\nRoute=implicit\r\n";
    writeFile(settingsPath(), plain);
    start(kNoStartTls, true);
    const auto save = [&] {
        desktop->expectBox();
        QTest::mouseClick(control("saveButton"), Qt::LeftButton);
        return readFile(settingsPath());
    };
    const auto sendOne = [&] {
        clickEntry(0);
        type(messageEdit(), QStringLiteral("hi"));
        send();
        return desktop->calls().back().text;
    };
    EXPECT_EQ(save(), plain);
    EXPECT_EQ(sendOne(), kSendSucceeded);
    EXPECT_EQ(save(), remembered);
    const qsizetype heard = peer->events("command").size();
    open();
    EXPECT_EQ(sendOne(), kSendSucceeded);
    EXPECT_EQ(peer->events("command").size(), heard);
    EXPECT_EQ(implicit->events("mail").size(), 2);
    EXPECT_EQ(save(), remembered);
    QTest::mouseClick(control("splitCheckBox"), Qt::LeftButton);
    EXPECT_EQ(save(), remembered + "[Message]\r\nSplit=1\r\n");
    open();
    EXPECT_TRUE(control<QAbstractButton>("splitCheckBox")->isChecked());
}

// While a send is under way the button reads "Sending..." and is disabled, and the window
// takes no input: typing and clicks are dropped, not queued. A close asked for meanwhile gets
// its question once the send is over.
TEST_F(WindowSendTest, WindowTakesNoInputWhileASendIsUnderWayAndAsksTheCloseAfterIt) {
    start(R"({"MAIL":{"stall":1}})");
    type(accountEdit(), kTestAccount);
    type(passwordEdit(), kPeerPassword);
    clickEntry(0);
    type(messageEdit(), QStringLiteral("hi"));
    std::pair<QString, bool> underWay;
    QTimer::singleShot(300, window.get(), [&] {
        underWay = {sendButton()->text(), sendButton()->isEnabled()};
        QTest::keyClicks(messageEdit(), QStringLiteral("zz"));
        QTest::mouseClick(control("exitButton"), Qt::LeftButton);
        clickEntry(1);
        window->close();
    });
    desktop->script({"ok", "ok", "opens", "end"});
    QTest::mouseClick(sendButton(), Qt::LeftButton);
    EXPECT_EQ(
        std::tuple(underWay, messageEdit()->text(), numberList()->picks(), window->isVisible()),
        std::tuple(std::pair(kSending, false), "hi", std::vector<bool>({true, false, false}),
                   false));
    EXPECT_EQ(desktop->log(),
              QStringList({"box 提示: " + kSendFailed, "ask 退出提示: 您确定要退出程序吗?",
                           "url http://127.0.0.1:9/home", "end"}));
}

}  // namespace
}  // namespace zelvo::testing
