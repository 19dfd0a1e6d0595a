// What the user reads after a failed send, made from the failure alone: the failure box's
// details in the window, and the one line the command prints.
#include "sms/failure_report.h"

#include "sms/dialogue_filter.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace zelvo::sms {
namespace {

MailError failure(FailureCause cause, int port, TlsMode tls = TlsMode::StartTls,
                  const QString& reply = {}) {
    return MailError(std::string("technical"), cause, {"127.0.0.1", port, tls, reply});
}

// The failure on the second route, after the first could not start a conversation either.
MailError afterFirstRoute(MailError second, const MailError& first) {
    second.setEarlierRoute(first);
    return second;
}

TEST(FailureReport, SaysWhatFailedWhereAndWhatToDo) {
    using enum FailureCause;
    const MailError unreachable = failure(Connect, 1);
    const struct {
        const char* name;
        MailError error;
        QStringList details;  // words the failure box's details hold
        QStringList line;     // words the command's line holds
    } rows[] = {
        // clang-format off
        {.name = "LoginRefused", .error = failure(LoginRefused, 25, TlsMode::StartTls, "535 5.7.8 Authentication failed"), .details = {"邮件服务器拒绝了登录", "127.0.0.1, 端口 25", "535 5.7.8 Authentication failed", "授权码, 不是网页登录密码", "设置 → 客户端设置 中开启SMTP服务"}, .line = {"邮件服务器拒绝了登录 (127.0.0.1:25); 服务器回复: 535 5.7.8 Authentication failed; 请检查邮箱地址; 密码栏要填写139邮箱的授权码"}},
        {.name = "BothRoutesUnreachable", .error = afterFirstRoute(failure(Connect, 2, TlsMode::Implicit), unreachable), .details = {"两种连接方式都没有成功", "127.0.0.1, 端口 1 (STARTTLS): 无法连接", "127.0.0.1, 端口 2 (SSL/TLS): 无法连接", "同时封锁了端口 1 和 2"}, .line = {"无法连接邮件服务器 (127.0.0.1:1 STARTTLS); 无法连接邮件服务器 (127.0.0.1:2 SSL/TLS); 请检查网络连接; 您所在的网络可能同时封锁了端口 1 和 2"}},
        {.name = "NoStartTlsThenNoSecondRoute", .error = afterFirstRoute(failure(Connect, 2, TlsMode::Implicit), failure(NoStartTls, 1)), .details = {"端口 1 上的邮件服务器没有提供加密连接 (STARTTLS), 密码没有发送", "端口 2 (SSL/TLS): 无法连接"}, .line = {"没有提供加密连接 (STARTTLS), 密码没有发送"}},
        {.name = "UntrustedServer", .error = failure(Tls, 465, TlsMode::Implicit), .details = {"与邮件服务器建立安全连接 (TLS) 失败", "日期和时间"}, .line = {"安全连接 (TLS) 失败 (127.0.0.1:465)"}},
        {.name = "NoUsableLogin", .error = failure(NoUsableLogin, 25), .details = {"没有提供可用的登录方式"}, .line = {"没有提供可用的登录方式"}},
        {.name = "SenderRefused", .error = failure(SenderRefused, 25, TlsMode::StartTls, "421 4.3.2 Shutting down"), .details = {"拒绝了发件人", "421 4.3.2 Shutting down"}, .line = {"拒绝了发件人"}},
        {.name = "RecipientRefused", .error = failure(RecipientRefused, 25, TlsMode::StartTls, "550 5.1.1 No"), .details = {"拒绝了收件人", "550 5.1.1 No"}, .line = {"拒绝了收件人"}},
        {.name = "MessageRefused", .error = failure(MessageRefused, 25, TlsMode::StartTls, "554 5.6.0 No"), .details = {"拒绝了邮件内容", "554 5.6.0 No"}, .line = {"拒绝了邮件内容"}},
        {.name = "Timeout", .error = failure(Timeout, 25), .details = {"响应超时", "请检查网络连接"}, .line = {"超时"}},
        {.name = "Dropped", .error = failure(Dropped, 25), .details = {"连接中断"}, .line = {"连接中断"}},
        {.name = "NetworkPartMissing", .error = MailError("no module", Setup), .details = {"程序的网络组件无法启动", "no module"}, .line = {"程序的网络组件无法启动; 请重新启动程序"}},
        {.name = "ControlCharactersNeverReachTheTerminal", .error = MailError("From: a\x1b[2J\x07", InvalidInput), .details = {"没有发送"}, .line = {"没有发送: From: a [2J "}},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString details = failureDetails(row.error), line = failureLine(row.error);
        for (const QString& words : row.details)
            EXPECT_TRUE(details.contains(words)) << details.toStdString();
        for (const QString& words : row.line)
            EXPECT_TRUE(line.contains(words)) << line.toStdString();
        EXPECT_FALSE(line.contains(u'\n') || line.contains(u'\x1b')) << line.toStdString();
    }
}

// What the dialogue may show, under --verbose and in the failure's last reply: the login's
// secrets never, in any form a server might echo, and nothing a terminal would act on. Each row
// is one piece of the dialogue after the ones before it.
TEST(DialogueFilter, HidesTheLoginAndWhatATerminalWouldActOn) {
    const QByteArray plain = QByteArray("\0u\0 p\rw ", 8).toBase64();
    const struct {
        const char* name;
        bool sent;
        QByteArray text;
        QList<QByteArray> shown;
    } rows[] = {
        // clang-format off
        {.name = "greeting", .sent = false, .text = "220 ready\r\n", .shown = {"220 ready"}},
        {.name = "EHLO, two lines", .sent = true, .text = "EHLO me\r\nRSET\r\n", .shown = {"EHLO me", "RSET"}},
        {.name = "AUTH PLAIN keeps its mechanism", .sent = true, .text = "AUTH PLAIN " + plain + "\r\n", .shown = {"AUTH PLAIN ****"}},
        {.name = "echo in clear, blanks and CR kept", .sent = false, .text = "535 no  p\rw  here\r\n", .shown = {"535 no *** here"}},
        {.name = "AUTH LOGIN", .sent = true, .text = "AUTH LOGIN\r\n", .shown = {"AUTH LOGIN"}},
        {.name = "its prompt", .sent = false, .text = "334 VXNlcm5hbWU6\r\n", .shown = {"334 VXNlcm5hbWU6"}},
        {.name = "the login name", .sent = true, .text = "dQ==\r\n", .shown = {"****"}},
        {.name = "echo as base64", .sent = false, .text = "334 " + QByteArray(" p\rw ").toBase64() + "\r\n", .shown = {"334 ***"}},
        {.name = "the password", .sent = true, .text = QByteArray(" p\rw ").toBase64() + "\r\n", .shown = {"****"}},
        {.name = "the verdict ends the login", .sent = false, .text = "235 ok " + plain + "\r\n", .shown = {"235 ok ***"}},
        {.name = "after it, shown", .sent = true, .text = "MAIL FROM:<u@139.com>\r\n", .shown = {"MAIL FROM:<u@139.com>"}},
        {.name = "escape and bell", .sent = false, .text = "550 \x1b[2Jgone\a\r\n", .shown = {"550 \xef\xbf\xbd[2Jgone\xef\xbf\xbd"}},
        // clang-format on
    };
    DialogueFilter filter(QStringLiteral("u"), QStringLiteral(" p\rw "));
    for (const auto& row : rows) {
        EXPECT_EQ(filter.shownLines(row.sent, row.text), row.shown) << row.name;
    }
    EXPECT_EQ(DialogueFilter("u", "").withoutSecrets("535 p\r\n"), "535 p\r\n");
    EXPECT_EQ(presentable("reply\t\x7f"), QStringLiteral("reply\uFFFD\uFFFD"));
}

}  // namespace
}  // namespace zelvo::sms
