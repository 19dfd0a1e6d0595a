// The send command end to end, one row per case: the happy path, each form the check refuses,
// each server that refuses, misbehaves, stalls or is none at all, and each TLS case on either
// route. A row gives the box the user sees, the button while it shows, and what the servers
// received.
#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QTimer>

#include "support/smtp_peer.h"
#include "window_fixture.h"

namespace zelvo::testing {
namespace {

using namespace std::chrono_literals;
using Kind = ScriptedPlatform::Kind;

const QString kMessage = QStringLiteral("今晚七点老地方见, 不见不散! Bring 2 tickets.");
const QString kPicked = QStringLiteral("13806012345,15012345678");  // entries 2 and 0
const QString kIdle = QStringLiteral("发送短信");
const QString kSending = QStringLiteral("Sending...");
const SmtpTimeouts kTimeouts{1500ms, 1000ms, 2500ms, 700ms};
constexpr const char* kNoStartTls = R"({"EHLO":"250-127.0.0.1\n250 AUTH PLAIN LOGIN\n"})";
const auto kSlack = 1500ms;  // start and end of a send beyond its time-outs

enum class Outcome { Sent, Refused /* by the check: the server hears nothing */, Failed };

struct Row {
    const char* name;
    Outcome outcome;
    // The STARTTLS route: "" the real server, "untrusted" (its certificate is not trusted),
    // "nostore" (the system trusts no certificate at all),
    // "none" (nothing listens), "never" (connections never complete), or a raw peer's script
    // (see smtp_peer.h).
    const char* peer = "";
    // The implicit-TLS route: "" nothing listens, "implicit" the real server, "untrusted".
    const char* second = "";
    QString account = kTestAccount;
    QString password = kPeerPassword;
    QString message = kMessage;
    std::vector<int> clicks = {2, 0};
    bool viaMenu = false;
    const char* reason = "";  // words the failure box's details must hold, '|' between them
};
void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

class SendCommandTest : public WindowTest {
protected:
    void start(const QByteArray& kind, const QByteArray& second = "") {
        if (kind != "none")
            peer = std::make_unique<SmtpPeer>(
                SmtpPeer::Options{.script = kind.startsWith('{') ? kind : QByteArray(),
                                  .neverAccepts = kind == "never"});
        if (!second.isEmpty())
            implicit = std::make_unique<SmtpPeer>(SmtpPeer::Options{.implicitTls = true});
        config.smtpPort = peer ? peer->port() : 1;
        config.smtpsPort = implicit ? implicit->port() : 2;
        const bool untrusted = kind == "untrusted" || second == "untrusted";
        config.smtpCaFile = untrusted ? QString() : SmtpPeer::caFile();
        if (kind == "nostore") {
            // A system that trusts no certificate authority at all.
            config.smtpCaFile = path("none.pem");
            config.smtpCaFolder = path("certs");
            QDir(folder->path()).mkdir("certs");
        }
        config.smtpTimeouts = kTimeouts;
        open();
        recipients::EntryList entries;
        for (const char* entry : {"李三,13806012345", "王五,13906054321", "赵六,15012345678"})
            entries.append(QString::fromUtf8(entry));
        numberList()->setEntries(entries);
    }

    // Sends as the user would; returns the button's caption and state while the box shows.
    std::pair<QString, bool> send(bool viaMenu = false) {
        std::pair<QString, bool> during;
        platform->expectMessageBox(app::Answer::Ok, [&](const ScriptedPlatform::Call&) {
            during = {sendButton()->text(), sendButton()->isEnabled()};
        });
        if (viaMenu)
            menuEntry("sendAction")->trigger();
        else
            QTest::mouseClick(sendButton(), Qt::LeftButton);
        return during;
    }

    QList<QJsonObject> events(const char* kind) const {
        return peer ? peer->events(QLatin1String(kind)) : QList<QJsonObject>();
    }

    // What the servers of both routes received.
    QList<QJsonObject> allMails() const {
        return events("mail") + (implicit ? implicit->events("mail") : QList<QJsonObject>());
    }

    std::unique_ptr<SmtpPeer> peer, implicit;
};

class SendOutcomeTest : public SendCommandTest, public ::testing::WithParamInterface<Row> {};

TEST_P(SendOutcomeTest, ShowsTheOutcomeAndTheServerGetsWhatItShould) {
    const Row& row = GetParam();
    start(row.peer, row.second);
    type(accountEdit(), row.account);
    type(passwordEdit(), row.password);
    for (const int entry : row.clicks) clickEntry(entry);
    type(messageEdit(), row.message);
    ASSERT_EQ(messageEdit()->text(), row.message);
    const QString subject = recipientsEdit()->text();
    const int count = window->selectedCount();

    QElapsedTimer clock;
    clock.start();
    const auto during = send(row.viaMenu);
    EXPECT_LE(clock.elapsed(), (kTimeouts.total + kSlack).count());
    const auto boxes = platform->callsOf(Kind::MessageBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, row.outcome == Outcome::Sent ? kSendSucceeded : kSendFailed);
    EXPECT_EQ(boxes[0].title, QStringLiteral("提示"));
    EXPECT_EQ(boxes[0].style, app::MessageStyle::QuestionOk);
    // The details say why, with the server and its port, never the password, and nothing a
    // terminal would act on; a refused form has none.
    const QString details = boxes[0].defaultText;
    EXPECT_EQ(details.isEmpty(), row.outcome != Outcome::Failed) << details.toStdString();
    if (row.outcome == Outcome::Failed) {
        for (const QString& words : QString(row.reason).split(u'|'))
            EXPECT_TRUE(details.contains(words)) << details.toStdString();
        EXPECT_TRUE(details.contains(QStringLiteral("127.0.0.1, 端口 %1").arg(config.smtpPort)) &&
                    !details.contains(row.password) && !details.contains(u'\x1b'))
            << details.toStdString();
    }
    const bool failedSending = row.outcome == Outcome::Failed;
    EXPECT_EQ(during, std::make_pair(failedSending ? kSending : kIdle, !failedSending));
    EXPECT_EQ(sendButton()->text(), kIdle);
    EXPECT_TRUE(sendButton()->isEnabled());
    // Nothing is cleared.
    EXPECT_EQ(messageEdit()->text(), row.message);
    EXPECT_EQ(recipientsEdit()->text(), subject);
    EXPECT_EQ(window->selectedCount(), count);

    // A send past the check is one line of the record that 发送记录 opens, never the password.
    const QByteArray record = readFile(path("sent.log"));
    const bool recorded = row.outcome != Outcome::Refused;
    const QString line = "\t" + kPicked + "\t" + row.message + "\t" +
                         (row.outcome == Outcome::Sent ? "已发送" : "短信发送失败: ");
    EXPECT_EQ(record.count('\n'), recorded ? 1 : 0);
    EXPECT_EQ(QString::fromUtf8(record).contains(line), recorded) << record.toStdString();
    EXPECT_FALSE(record.contains(row.password.toUtf8()));
    if (recorded) {
        platform->script({"start"});
        menuEntry("sendRecordAction")->trigger();
        EXPECT_EQ(platform->log().back(), "start max: notepad.exe " + path("sent.log"));
    }

    // The mail goes over the second route when it listens, and no login reaches it unless it
    // takes the mail.
    const auto mails = allMails();
    if (implicit) {
        EXPECT_EQ(implicit->events("auth").isEmpty(), implicit->events("mail").isEmpty());
    }
    const QByteArray kind = row.peer;
    // Only a form that passes the check reaches the server, over TLS only a trusted one, and a
    // first route that was left heard no login.
    const bool heard = row.outcome != Outcome::Refused && kind != "untrusted" && kind != "nostore";
    if (!heard) {
        EXPECT_TRUE(events("auth").isEmpty() && events("command").isEmpty());
    } else if (kind.isEmpty()) {
        EXPECT_FALSE(events("auth").isEmpty());
    }
    for (const QJsonObject& command : events("command"))
        EXPECT_TRUE(!implicit || command["verb"] != "AUTH" || row.outcome == Outcome::Failed);
    if (row.outcome != Outcome::Sent) {
        EXPECT_TRUE(mails.isEmpty());
    } else {
        ASSERT_EQ(mails.size(), 1);
        const QJsonObject& mail = mails[0];
        EXPECT_EQ(mail["subject"].toString(), kPicked);
        EXPECT_EQ(mail["body"].toString(), row.message);
        EXPECT_EQ(mail["mail_from"].toString(), row.account);
        EXPECT_EQ(mail["rcpt_tos"].toArray(), QJsonArray{config.gatewayAddress});
        EXPECT_EQ(mail["login"].toString(), QStringLiteral("13806012345"));
        EXPECT_EQ(mail["password"].toString(), row.password);
        EXPECT_TRUE(mail["tls_at_auth"].toBool());
        EXPECT_TRUE(mail["crlf_only"].toBool());
        EXPECT_EQ(mail["defects"].toInt(), 0);
        EXPECT_NEAR(mail["date"].toDouble(), QDateTime::currentSecsSinceEpoch(), 600);
        EXPECT_TRUE(mail["message_id"].toString().startsWith('<'));
        for (const QJsonObject& auth : events("auth")) {
            EXPECT_TRUE(auth["mechanism"] == "PLAIN" || auth["mechanism"] == "LOGIN");
            EXPECT_TRUE(auth["initial_response"].toBool());  // some servers refuse a bare AUTH
            EXPECT_TRUE(auth["tls"].toBool());
        }
        // A second click sends the same mail again, after a fallback straight over the route
        // that took the first.
        const qsizetype heard = events("command").size();
        send();
        EXPECT_TRUE(!implicit || events("command").size() == heard);
        EXPECT_EQ(platform->callsOf(Kind::MessageBox).back().text, kSendSucceeded);
        const auto again = allMails();
        ASSERT_EQ(again.size(), 2);
        EXPECT_EQ(again[1]["subject"], mail["subject"]);
        EXPECT_EQ(again[1]["body"], mail["body"]);
    }
    // The window takes input again.
    messageEdit()->clear();
    QTest::keyClicks(messageEdit(), QStringLiteral("ok"));
    EXPECT_EQ(messageEdit()->text(), QStringLiteral("ok"));
}

constexpr Outcome Sent = Outcome::Sent, Refused = Outcome::Refused, Failed = Outcome::Failed;
const QString k69 = QString(69, QChar(0x77ed));

INSTANTIATE_TEST_SUITE_P(
    Rows, SendOutcomeTest,
    ::testing::Values(
        Row{.name = "PickedNumbersAndAChineseMessage", .outcome = Sent},
        Row{.name = "MenuEntry", .outcome = Sent, .viaMenu = true},
        Row{.name = "Message69", .outcome = Sent, .message = k69},
        Row{.name = "OneSpace", .outcome = Sent, .message = QStringLiteral(" ")},
        Row{.name = "Message70", .outcome = Refused, .message = k69 + "m"},
        Row{.name = "EmptyMessage", .outcome = Refused, .message = ""},
        Row{.name = "Account18", .outcome = Refused, .account = "1380601234@139.com"},
        Row{.name = "Account20", .outcome = Refused, .account = "138060123456@139.com"},
        Row{.name = "SuffixMissing", .outcome = Refused, .account = "13806012345@139.net"},
        Row{.name = "SuffixOtherCase", .outcome = Refused, .account = "13806012345@139.COM"},
        Row{.name = "NothingPicked", .outcome = Refused, .clicks = {}},
        Row{.name = "PickedThenUnpicked", .outcome = Refused, .clicks = {0, 0}},
        // Passes the check, so it goes to the server, which refuses such a sender.
        Row{.name = "SuffixAtStart", .outcome = Failed, .account = "@139.com13806012345"},
        // clang-format off
        // Where no SMTP conversation starts on port 25, the mail goes over implicit TLS.
        Row{.name = "Port25Closed", .outcome = Sent, .peer = "none", .second = "implicit"},
        Row{.name = "Port25NeverGreets", .outcome = Sent, .peer = R"({"greeting":{"stall":1}})", .second = "implicit"},
        Row{.name = "Port25NeverConnects", .outcome = Sent, .peer = "never", .second = "implicit"},
        Row{.name = "Port25ClosesBeforeGreeting", .outcome = Sent, .peer = R"({"greeting":{"text":"","close":1}})", .second = "implicit"},
        Row{.name = "Port25OffersNoStartTls", .outcome = Sent, .peer = kNoStartTls, .second = "implicit"},
        Row{.name = "Port25Refuses454", .outcome = Sent, .peer = R"({"STARTTLS":"454 4.7.0 TLS not available\n"})", .second = "implicit"},
        Row{.name = "WrongPassword", .outcome = Failed, .second = "implicit", .password = "p@ss w0rd", .reason = "拒绝了登录|535 5.7.8 Authentication|授权码, 不是网页登录密码|设置 → 客户端设置 中开启SMTP服务"},
        Row{.name = "NothingListens", .outcome = Failed, .peer = "none", .reason = "两种连接方式都没有成功|127.0.0.1, 端口 1 (STARTTLS): 无法连接|127.0.0.1, 端口 2 (SSL/TLS): 无法连接|同时封锁了端口 1 和 2"},
        Row{.name = "NoStartTlsAndNoPort465", .outcome = Failed, .peer = kNoStartTls, .reason = "上的邮件服务器没有提供加密连接 (STARTTLS), 密码没有发送|端口 2 (SSL/TLS): 无法连接"},
        Row{.name = "UntrustedCertificate", .outcome = Failed, .peer = "untrusted", .second = "implicit", .reason = "安全连接 (TLS) 失败"},
        Row{.name = "NoTrustedAuthorityAtAll", .outcome = Failed, .peer = "nostore", .reason = "没有任何受信任的根证书|ca-certificates"},
        Row{.name = "UntrustedOnPort465", .outcome = Failed, .peer = "none", .second = "untrusted", .reason = "端口 1 (STARTTLS): 无法连接|(SSL/TLS): 与邮件服务器建立安全连接 (TLS) 失败"},
        Row{.name = "Greets554", .outcome = Failed, .peer = R"({"greeting":"554 5.3.2 No\n"})"},
        Row{.name = "SilentFromTheStart", .outcome = Failed, .peer = R"({"greeting":{"stall":1}})", .reason = "no greeting within 700 ms"},
        Row{.name = "KnowsOnlyHelo", .outcome = Failed, .peer = R"({"EHLO":"500 5.5.1 What\n"})"},
        Row{.name = "OffersNoAuth", .outcome = Failed, .peer = R"({"EHLO":"250-127.0.0.1\n250-STARTTLS\n250 8BITMIME\n"})", .reason = "没有提供可用的登录方式"},
        Row{.name = "OffersOnlyMechanismsWeDoNotSpeak", .outcome = Failed, .peer = R"({"EHLO":"250-127.0.0.1\n250-STARTTLS\n250 AUTH CRAM-MD5 DIGEST-MD5 NTLM XOAUTH2\n"})"},
        // A server that echoes the login, in clear and in base64, has it blotted out.
        Row{.name = "RefusesLoginEchoingIt", .outcome = Failed, .peer = R"({"AUTH":"535 5.7.8 p@ss word ADEzODA2MDEyMzQ1AHBAc3Mgd29yZA==\n"})", .reason = "拒绝了登录|535 5.7.8 *** ***"},
        Row{.name = "Closes421AtMail", .outcome = Failed, .peer = R"({"MAIL":{"text":"421 4.3.2 Shutting down\n","close":1}})", .reason = "拒绝了发件人|421 4.3.2 Shutting down"},
        Row{.name = "RefusesRecipient", .outcome = Failed, .peer = R"({"RCPT":"550 5.1.1 No\n"})", .reason = "拒绝了收件人|550 5.1.1 No"},
        Row{.name = "Temporary452", .outcome = Failed, .peer = R"({"RCPT":"452 4.2.2 Full\n"})"},
        Row{.name = "MultiLineReplies",
            .outcome = Failed,
            .peer = R"({"greeting":"220-127.0.0.1\n220-no spam\n220 ready\n",
                        "RCPT":"550-5.1.1 The mailbox\n550-5.1.1 does not\n550 5.1.1 exist\n"})"},
        Row{.name = "RefusesData", .outcome = Failed, .peer = R"({"DATA":"554 5.5.1 No\n"})"},
        Row{.name = "RefusesMessage", .outcome = Failed, .peer = R"({".":"554 5.6.0 No\n"})", .reason = "拒绝了邮件内容|554 5.6.0 No"},
        Row{.name = "HangsUpDuringData", .outcome = Failed, .peer = R"({"DATA":{"text":"354 Go\n","close":1}})", .reason = "连接中断"},
        Row{.name = "HangsUpAfterTheMessage", .outcome = Failed, .peer = R"({".":{"close":1}})"},
        Row{.name = "ReplyThatNeverEnds", .outcome = Failed, .peer = R"({"EHLO":{"text":"250-127.0.0.1 more\n","repeat":1}})"},
        // Each reply in time, the whole conversation not: only the total time-out ends it.
        Row{.name = "DripsEveryReplyJustInTime",
            .outcome = Failed,
            .peer = R"({"EHLO":{"text":"250-STARTTLS\n250 AUTH PLAIN LOGIN\n","drip_ms":8},
                        "AUTH":{"text":"235 OK\n","drip_ms":90},
                        "MAIL":{"text":"250 OK\n","drip_ms":90},
                        "RCPT":{"text":"250 OK\n","drip_ms":90},
                        "DATA":{"text":"354 Go\n","drip_ms":90}})",
            .reason = "Operation timed out after 2"},
        Row{.name = "AnswersLikeAWebServer", .outcome = Failed, .peer = R"({"greeting":{"text":"HTTP/1.1 400 Bad\nContent-Length: 0\n\n","close":1}})"},
        Row{.name = "SendsBinaryNoise", .outcome = Failed, .peer = R"({"greeting":{"text":"\u0000\u00ff\u0080\u001b[2J\u00fe\n","repeat":1}})"},
        Row{.name = "HundredKilobyteReplyLine", .outcome = Failed, .peer = R"({"RCPT":{"text":"550 5.1.1 \n","pad":102400}})"},
        Row{.name = "StallsAtMail", .outcome = Failed, .peer = R"({"MAIL":{"stall":1}})", .reason = "响应超时|请检查网络连接"},
        // clang-format on
        Row{.name = "StallsAtRcpt", .outcome = Failed, .peer = R"({"RCPT":{"stall":1}})"},
        Row{.name = "StallsAtData", .outcome = Failed, .peer = R"({"DATA":{"stall":1}})"},
        Row{.name = "StallsAfterTheMessage", .outcome = Failed, .peer = R"({".":{"stall":1}})"},
        Row{.name = "StallsHalfwayThroughAReply",
            .outcome = Failed,
            .peer = R"({"MAIL":{"text":"250-2.1.0 OK\n250 2.1","stall":1}})"}),
    [](const auto& info) { return std::string(info.param.name); });

// The route that worked is kept in set.ini, in a section of its own, by every save of the
// window, and a window started from that file goes straight to it. A file without it saves
// byte for byte as it was.
TEST_F(SendCommandTest, SetIniKeepsTheRouteThatWorked) {
    const QByteArray plain =
        gbk("[UserMsg]\r\nUser=" + kTestAccount + "\r\nPassword=" + kPeerPassword +
            "\r\n[Phone]\r\n0=李三,13806012345\r\n1=王五,13906054321\r\n2="
            "赵六,15012345678\r\ntotal=2\r\n");
    const QByteArray remembered = plain + "[Smtp]\r\nRoute=implicit\r\n";
    writeFile(settingsPath(), plain);
    start(kNoStartTls, "implicit");
    const auto save = [&] {
        platform->expectMessageBox();
        QTest::mouseClick(control("saveButton"), Qt::LeftButton);
        return readFile(settingsPath());
    };
    const auto sendOne = [&] {
        clickEntry(0);
        type(messageEdit(), QStringLiteral("hi"));
        send();
        return platform->callsOf(Kind::MessageBox).back().text;
    };
    EXPECT_EQ(save(), plain);
    EXPECT_EQ(sendOne(), kSendSucceeded);
    EXPECT_EQ(save(), remembered);
    const qsizetype heard = events("command").size();
    open();
    EXPECT_EQ(sendOne(), kSendSucceeded);
    EXPECT_EQ(events("command").size(), heard);
    EXPECT_EQ(implicit->events("mail").size(), 2);
    EXPECT_EQ(save(), remembered);
}

// While a send is under way the button reads "Sending..." and is disabled, and the window
// takes no input: typing and clicks are dropped, not queued. A close asked for meanwhile gets
// its question once the send is over.
TEST_F(SendCommandTest, WindowTakesNoInputWhileASendIsUnderWayAndAsksTheCloseAfterIt) {
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
    platform->script({"ok", "ok", "start", "end"});
    QTest::mouseClick(sendButton(), Qt::LeftButton);
    EXPECT_EQ(underWay, std::make_pair(kSending, false));
    EXPECT_EQ(messageEdit()->text(), QStringLiteral("hi"));
    EXPECT_EQ(numberList()->picks(), std::vector<bool>({true, false, false}));
    EXPECT_EQ(
        platform->log(),
        QStringList({"box ?ok 提示: " + kSendFailed, "box ?okcancel 退出提示: 您确定要退出程序吗?",
                     "start min: explorer.exe http://127.0.0.1:9/home", "end"}));
    EXPECT_FALSE(window->isVisible());
}

}  // namespace
}  // namespace zelvo::testing
