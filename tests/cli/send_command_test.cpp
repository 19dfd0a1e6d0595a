// zelvo-sms-send, run in-process against the test SMTP peer: one row per invocation, with what
// the server received (or nothing), the exit code and what the user is told.
#include "cli/send_command.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>
#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#endif
#ifdef __linux__
#include <sys/prctl.h>
#include <sys/wait.h>
#endif

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "config/process_setup.h"
#include "support/smtp_peer.h"
#include "support/test_files.h"

namespace zelvo::testing {
namespace {

const QString k69 = QString(69, QChar(u'字'));
const QString k11 = QStringLiteral(
    "13806012345,13906054321,15012345678,13800000001,13800000002,"
    "13800000003,13800000004,13800000005,13800000006,13800000007,"
    "13800000008");
const QString k150 = QStringLiteral("一二三四五六七八九十").repeated(15);
const QByteArray kPassword = kPeerPassword.toUtf8();
// set.ini: the account, its password, and a list with a name twice and names of bad numbers.
const QByteArray kSettings =
    "\xEF\xBB\xBF[UserMsg]\nUser=13806012345@139.com\nPassword=" + kPassword +
    "\n[Phone]\n0=李三,13806012345\n1=重名,13900000001\n2=重名,"
    "13900000002\n3=坏号,12345678901\n4=三个,138,10086,1\ntotal=4\n";

// A file in the test's folder beside set.ini.
struct File {
    const char* name = nullptr;
    QByteArray bytes = kSettings;
    int mode = 0600;
};

struct Row {
    const char* name;
    QStringList args;  // "@" at the start stands for the test's folder, "%" for the server's port
    QByteArray input = "";   // standard input
    int code = 0;            // exit code
    QString mail = "";       // what the server got: subject, LF, body; empty for no mail at all
    const char* err = "";    // a fragment of standard error; "" for nothing at all
    const char* out = "";    // a fragment of standard output; "" for nothing at all
    QByteArray peer = "";    // a raw peer's script; empty for the real server, "none" for nothing
    bool loginOnly = false;  // the real server offers only AUTH LOGIN
    bool implicitRoute = false;  // a real server of implicit TLS on the second route
    QString environment = {};    // ZELVO_SMS_PASSWORD
    File file = {};
    bool stalledErr = false;           // standard error a full pipe that nobody reads
    bool refusedInSubmission = false;  // refused with exit code 65 once submitted, so recorded
    QStringList more = {};             // the mails after the first, in order
    int parts = 1;                     // lines in sent.log when the send was submitted
    int refusedMail = 0;               // the real server refuses its n-th mail
};

// clang-format off
void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }
const Row kRows[] = {
    {.name = "OneNumber", .args = {"13806012345", "服务器已恢复"}, .mail = "13806012345\n服务器已恢复"},
    {.name = "SeveralAndAName", .args = {"13806012345,13906054321", "15012345678", "李三", "开会"}, .mail = "13806012345,13906054321,15012345678,13806012345\n开会"},
    {.name = "TenNumbers69Characters", .args = {k11.left(119), k69}, .mail = k11.left(119) + "\n" + k69},
    {.name = "StandardInput", .args = {"13806012345"}, .input = "第一行\n第二行\n", .mail = "13806012345\n第一行\r\n第二行"},
    {.name = "StandardInputWithByteOrderMark", .args = {"13806012345"}, .input = "\xEF\xBB\xBF短信\r\n", .mail = "13806012345\n短信"},
#ifdef Q_OS_WIN
    // What cmd.exe pipes on a Chinese Windows: code page 936, as the tests' locale makes the ANSI one.
    {.name = "StandardInputInTheCodePage", .args = {"13806012345"}, .input = "\xbd\xf1\xcd\xed\xc6\xdf\xb5\xe3\xbf\xaa\xbb\xe1\r\n", .mail = "13806012345\n今晚七点开会"},
#endif
    {.name = "DashReadsStandardInput", .args = {"13806012345", "13906054321", "-"}, .input = "备份失败\r\n", .mail = "13806012345,13906054321\n备份失败"},
    {.name = "FromAndVariable", .args = {"--from", "13906054321@139.com", "13806012345", "hi"}, .mail = "13806012345\nhi", .environment = kPeerPassword},
    {.name = "PasswordFile", .args = {"--password-file", "@/password.txt", "13806012345", "hi"}, .mail = "13806012345\nhi", .file = {.name = "password.txt", .bytes = kPassword + "\nnot this\n"}},
    {.name = "SharedSettingsWarnOnce", .args = {"--settings", "@/shared.ini", "13806012345", "hi"}, .mail = "13806012345\nhi", .err = "shared.ini 中有邮箱密码, 同组或其他用户也能读取它; 请执行 chmod 600 ", .file = {.name = "shared.ini", .mode = 0644}},
    {.name = "PasswordFileGroupReadable", .args = {"--password-file", "@/password0640.txt", "13806012345", "hi"}, .code = 78, .err = "password0640.txt 同组或其他用户也能读取, 没有使用; 请执行 chmod 600 ", .file = {.name = "password0640.txt", .bytes = kPassword, .mode = 0640}},
    {.name = "PasswordFileOthersReadable", .args = {"--password-file", "@/password0604.txt", "13806012345", "hi"}, .code = 78, .err = "password0604.txt 同组或其他用户也能读取", .file = {.name = "password0604.txt", .bytes = kPassword, .mode = 0604}},
    {.name = "PasswordFileWithCrLf", .args = {"--password-file", "@/password_crlf.txt", "13806012345", "hi"}, .mail = "13806012345\nhi", .file = {.name = "password_crlf.txt", .bytes = kPassword + "\r\nnot this\r\n"}},
    {.name = "Verbose", .args = {"--verbose", "13806012345", "hi"}, .mail = "13806012345\nhi", .err = "> AUTH PLAIN ****"},
    {.name = "VerboseIntoAFullPipe", .args = {"--verbose", "13806012345", "hi"}, .mail = "13806012345\nhi", .stalledErr = true},
    {.name = "VerboseLoginMechanism", .args = {"--verbose", "13806012345", "hi"}, .mail = "13806012345\nhi", .err = "> AUTH LOGIN ****\n< 334 UGFzc3dvcmQA\n> ****\n< 235", .loginOnly = true},
    {.name = "PasswordFileWithBlankInPath", .args = {"--password-file", "@/pass word.txt", "13806012345", "hi"}, .code = 78, .err = "请执行 chmod 600 '", .file = {.name = "pass word.txt", .bytes = kPassword, .mode = 0640}},
    {.name = "PlantedSettings", .args = {"--settings", "@/planted.ini", "13806012345", "hi"}, .code = 78, .err = "属于别的用户", .file = {.name = "planted.ini"}},
    {.name = "Help", .args = {"--help"}, .out = "用法: zelvo-sms-send [选项] 号码[,号码...] [短信内容]\n", .peer = "none"},
    {.name = "Version", .args = {"--version"}, .out = "zelvo-sms-send 1.0.0\n", .peer = "none"},
    // A variable set on Windows may end in CR: refused, and the password shown nowhere.
    {.name = "VariableEndsInCarriageReturn", .args = {"13806012345", "hi"}, .code = 65, .err = "password 含有换行符", .environment = kPeerPassword + "\r", .refusedInSubmission = true},
    {.name = "SentButNotRecorded", .args = {"13806012345", "hi"}, .mail = "13806012345\nhi", .err = "警告", .file = {.name = "sent.log/"}},
    {.name = "NoRecord", .args = {"--no-record", "13806012345", "hi"}, .mail = "13806012345\nhi"},
    {.name = "DryRun", .args = {"--dry-run", "13806012345", "你好"}, .out = "Subject: 13806012345\r\nMessage-ID: <"},
    {.name = "UsageError", .args = {"--tls", "ssl", "13806012345", "hi"}, .code = 64, .err = "--tls 的参数应为 starttls 或 implicit", .peer = "none"},
    {.name = "WrongOperator", .args = {"12306012345", "hi"}, .code = 65, .err = "12306012345: 您选择的电话号码错误,它不是移动号码。"},
    {.name = "TwelveDigits", .args = {"138060123456", "hi"}, .code = 65, .err = "138060123456: 您选择的电话号码错误,它不是手机号码。"},
    {.name = "ElevenNumbers", .args = {k11, "hi"}, .code = 65, .err = "13800000008: 您选择的电话号码已达到上限。"},
    {.name = "NameWithBadNumber", .args = {"坏号", "hi"}, .code = 65, .err = "坏号 (12345678901): 您选择的电话号码错误,它不是移动号码。"},
    {.name = "NameWithCommasInNumber", .args = {"三个", "hi"}, .code = 65, .err = "三个 (138,10086,1): 您选择的电话号码错误,它不是手机号码。"},
    {.name = "UnknownName", .args = {"赵六", "hi"}, .code = 65, .err = "赵六: 号码列表中没有这个名字"},
    {.name = "NameTwice", .args = {"重名", "hi"}, .code = 65, .err = "重名: 号码列表中有 2 个这个名字"},
    {.name = "LineEndCountsTwo", .args = {"13806012345"}, .input = (k69.left(34) + "\n" + k69.left(34)).toUtf8(), .code = 65, .err = "短信内容有 70 个字符"},
    {.name = "EmptyMessage", .args = {"13806012345"}, .input = "\n", .code = 65, .err = "短信内容为空"},
    {.name = "NotUtf8", .args = {"13806012345"}, .input = "\xff\xfe", .code = 65, .err = "不是 UTF-8"},
    {.name = "EndlessInput", .args = {"13806012345"}, .input = QByteArray(5000, 'y'), .code = 64, .err = "标准输入超过 4096 字节"},
    {.name = "ControlCharactersFromSettingsShown", .args = {"坏\x1B[2J号", "hi"}, .code = 65, .err = "坏\\u001B[2J号 (12345678901)", .file = {.name = "set.ini", .bytes = QByteArray(kSettings).replace("坏号", "坏\x1B[2J号")}},
    {.name = "RefusalIntoAFullPipe", .args = {"12306012345", "hi"}, .code = 65, .stalledErr = true},
    {.name = "NoAccount", .args = {"--settings", "@/empty.ini", "13806012345", "hi"}, .code = 78, .err = "没有邮箱账号", .file = {.name = "empty.ini", .bytes = ""}},
    {.name = "NoPasswordForOtherAccount", .args = {"--from", "13906054321@139.com", "13806012345", "hi"}, .code = 78, .err = "没有邮箱密码"},
    {.name = "AccountTooShort", .args = {"--from", "1390605432@139.com", "13806012345", "hi"}, .code = 78, .err = "邮箱账号 1390605432@139.com 不可用", .environment = kPeerPassword},
    {.name = "WrongPassword", .args = {"--password-file", "@/wrong.txt", "13806012345", "hi"}, .code = 69, .err = "请检查邮箱地址; 密码栏要填写139邮箱的授权码, 不是网页登录密码: 在139邮箱的 设置 → 客户端设置 中开启SMTP服务并获取授权码。", .implicitRoute = true, .file = {.name = "wrong.txt", .bytes = "wrong\n"}},
    {.name = "Port25Closed", .args = {"--verbose", "13806012345", "hi"}, .mail = "13806012345\nhi", .err = "(STARTTLS): 无法连接邮件服务器, 改用 127.0.0.1:", .peer = "none", .implicitRoute = true},
    {.name = "BothPortsClosed", .args = {"13806012345", "hi"}, .code = 75, .err = "无法连接邮件服务器 (127.0.0.1:1 STARTTLS); 无法连接邮件服务器 (127.0.0.1:2 SSL/TLS); 请检查网络连接; 您所在的网络可能同时封锁了端口 1 和 2", .peer = "none"},
    {.name = "PinnedImplicitTls", .args = {"--tls", "implicit", "13806012345", "hi"}, .mail = "13806012345\nhi", .implicitRoute = true},
    {.name = "PinnedStartTlsPort", .args = {"--tls", "starttls", "--port", "%", "13806012345", "hi"}, .mail = "13806012345\nhi"},
    {.name = "PinnedStartTlsNotOffered", .args = {"--tls=starttls", "13806012345", "hi"}, .code = 69, .err = "没有提供加密连接 (STARTTLS), 密码没有发送", .peer = R"({"EHLO":"250 AUTH PLAIN\n"})", .implicitRoute = true},
    {.name = "RecipientRefused", .args = {"13806012345", "hi"}, .code = 69, .err = "拒绝了收件人", .peer = R"({"RCPT":"550 5.1.1 No such mailbox\n"})"},
    {.name = "RecipientRefusedForNow", .args = {"13806012345", "hi"}, .code = 75, .err = "拒绝了收件人", .peer = R"({"RCPT":"452 4.5.3 Too many recipients\n"})"},
    {.name = "SplitInThreeParts", .args = {"--split", "13806012345", k150}, .mail = "13806012345\n(1/3)" + k150.left(64), .more = {"13806012345\n(2/3)" + k150.mid(64, 64), "13806012345\n(3/3)" + k150.mid(128)}, .parts = 3},
    {.name = "SplitSecondRefused", .args = {"--split", "13806012345", k150}, .code = 69, .mail = "13806012345\n(1/3)" + k150.left(64), .err = "zelvo-sms-send: 已发送第 1 条, 第 2 至 3 条没有发送。\n", .parts = 3, .refusedMail = 2},
    {.name = "SplitTooLong", .args = {"--split", "13806012345"}, .input = k150.repeated(5).toUtf8(), .code = 65, .err = "短信内容有 750 个字符 (换行算两个), 分成 10 条也发送不完"},
    {.name = "ServerNeverAnswers", .args = {"13806012345", "hi"}, .code = 75, .err = "超时", .peer = R"({"greeting":{"stall":1}})"},
};
// clang-format on

class SendCommandRunTest : public ::testing::TestWithParam<Row> {};

TEST_P(SendCommandRunTest, SendsOrSaysWhyWithItsExitCode) {
    const Row& row = GetParam();
#ifdef Q_OS_WIN
    // Windows has access lists, not mode bits, and no file owner to set here.
    if ((row.file.mode & 077) || QByteArray(row.file.name) == "planted.ini")
        GTEST_SKIP() << "a Unix case";
#endif
    std::optional<SmtpPeer> peer, implicit;
    if (row.peer != "none")
        peer.emplace(SmtpPeer::Options{
            .script = row.peer, .loginOnly = row.loginOnly, .refusedMail = row.refusedMail});
    if (row.implicitRoute) implicit.emplace(SmtpPeer::Options{.implicitTls = true});
    QTemporaryDir folder;
    for (const File& file : {File{.name = "set.ini"}, row.file}) {
        if (!file.name) continue;
        if (QByteArray(file.name).endsWith('/')) {  // a folder in the file's place
            ASSERT_TRUE(QDir(folder.path()).mkdir(file.name));
            continue;
        }
        writeFile(folder.filePath(file.name), file.bytes);
        ASSERT_EQ(::chmod(QFile::encodeName(folder.filePath(file.name)), file.mode), 0);
    }
#ifdef Q_OS_UNIX
    // Another user's set.ini in a folder anyone may write, as it may have been planted there.
    if (QByteArray(row.file.name) == "planted.ini") {
        if (::geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
        ASSERT_EQ(::chown(QFile::encodeName(folder.filePath("planted.ini")), 65534, 65534), 0);
    }
#endif
    ASSERT_EQ(::chmod(QFile::encodeName(folder.path()), 01777), 0);

    // The command's surroundings: set.ini in the folder, the servers on 127.0.0.1.
    cli::SendCommandContext context{AppConfig::builtIn(), folder.filePath("set.ini"), {}};
    context.config.smtpHost = QStringLiteral("127.0.0.1");
    context.config.smtpPort = peer && !row.args.contains("%") ? peer->port() : 1;
    context.config.smtpsPort = implicit ? implicit->port() : 2;
    context.config.smtpTimeouts = kTestTimeouts;
    context.config.smtpCaFile = SmtpPeer::caFile();
    if (!row.environment.isEmpty())
        context.environment.insert("ZELVO_SMS_PASSWORD", row.environment);
    QStringList args = row.args;
    args.replaceInStrings(QRegularExpression("^@"), folder.path());
    if (peer) args.replaceInStrings(QRegularExpression("^%$"), QString::number(peer->port()));
    QBuffer in, out, err;
    in.setData(row.input);
    for (QBuffer* buffer : {&in, &out, &err}) buffer->open(QIODevice::ReadWrite);
    // The dialogue that does not fit into a full pipe is dropped; the send never waits for it.
    QFile stalled;
    QIODevice* errTo = &err;
    int ends[2] = {-1, -1};
    if (row.stalledErr) {
#ifdef Q_OS_UNIX
        ASSERT_EQ(::pipe2(ends, O_NONBLOCK), 0);
#else
        ASSERT_EQ(::_pipe(ends, 4096, _O_BINARY), 0);
        const auto writeEnd = reinterpret_cast<HANDLE>(_get_osfhandle(ends[1]));
        DWORD mode = PIPE_NOWAIT;
        ASSERT_TRUE(SetNamedPipeHandleState(writeEnd, &mode, nullptr, nullptr));
#endif
        while (::write(ends[1], "f", 1) > 0) {
        }
#ifdef Q_OS_UNIX
        ASSERT_EQ(::fcntl(ends[1], F_SETFL, 0), 0) << "the program meets a pipe that blocks";
#else
        mode = PIPE_WAIT;
        ASSERT_TRUE(SetNamedPipeHandleState(writeEnd, &mode, nullptr, nullptr));
#endif
        ASSERT_TRUE(stalled.open(ends[1], QIODevice::WriteOnly | QIODevice::Unbuffered,
                                 QFileDevice::AutoCloseHandle));
        errTo = &stalled;
    }

    EXPECT_EQ(cli::runSendCommand(args, in, out, *errTo, context), row.code);
    if (row.stalledErr) ::close(ends[0]);
    const QString said = QString::fromUtf8(err.data()), printed = QString::fromUtf8(out.data());
    EXPECT_TRUE(*row.err ? said.count(row.err) == 1 : said.isEmpty()) << said.toStdString();
    EXPECT_TRUE(*row.out ? printed.contains(row.out) : printed.isEmpty()) << printed.toStdString();
    // Each submission, sent or failed, is one line of sent.log beside set.ini, unless asked not.
    const QByteArray record = readFile(folder.filePath("sent.log"));
    const bool submitted =
        (!row.mail.isEmpty() || row.code == 69 || row.code == 75 || row.refusedInSubmission) &&
        !args.contains("--no-record") && QByteArray(row.file.name) != "sent.log/";
    EXPECT_EQ(record.count("\r\n"), submitted ? row.parts : 0) << record.toStdString();
    const QString login = args.contains("--from") ? "13906054321" : "13806012345";
    // Neither the password nor the login data show, in clear or as the AUTH data.
    const QByteArray auth = '\0' + login.toUtf8() + '\0' + kPassword;
    for (const QByteArray& shown : {out.data(), err.data(), record}) {
        for (const QByteArray& secret :
             {kPassword, kPassword.toBase64(), login.toUtf8().toBase64(), auth.toBase64()})
            EXPECT_FALSE(shown.contains(secret)) << secret.toStdString();
    }

    // With a server on the second route, the mail has to arrive there.
    const QList<QJsonObject> mails = eventsOf(implicit ? implicit : peer, "mail");
    QStringList expected = row.more;
    if (!row.mail.isEmpty()) expected.prepend(row.mail);
    ASSERT_EQ(mails.size(), expected.size());
    EXPECT_EQ(record.contains("\t短信发送失败: "), submitted && row.code != 0);
    for (qsizetype i = 0; i < mails.size(); ++i) {
        // The line of a send holds the numbers, the message on one line, 已发送 and the route.
        const QString sent = "\t" +
                             QString(expected[i]).replace("\r\n", "\\n").replace("\n", "\t") +
                             "\t已发送\t127.0.0.1:";
        EXPECT_EQ(QString::fromUtf8(record).contains(sent), submitted) << record.toStdString();
        EXPECT_EQ(mails[i]["envelope"].toString(),
                  login + "@139.com > " + context.config.gatewayAddress + "\n" + expected[i]);
        EXPECT_EQ(mails[i]["login"].toString() + " " + mails[i]["password"].toString(),
                  login + " " + kPeerPassword);
        EXPECT_TRUE(mails[i]["crlf_only"].toBool());
    }
}

INSTANTIATE_TEST_SUITE_P(Invocations, SendCommandRunTest, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

// Both programs start alike: a process that holds the password leaves no core dump, and the
// settings of both live under one name. Checked in a child, as a process that may not dump is
// one the leak checker cannot trace.
TEST(ProcessSetUp, NoCoreDumpAndOneSettingsName) {
#ifndef __linux__
    GTEST_SKIP() << "core dumps are turned off where prctl exists, on Linux";
#else
    const pid_t child = ::fork();
    if (child == 0) {
        setUpProcess();
        ::_exit(::prctl(PR_GET_DUMPABLE) == 0 && QCoreApplication::applicationName() == "zelvo-sms"
                    ? 0
                    : 1);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
#endif
}

}  // namespace
}  // namespace zelvo::testing
