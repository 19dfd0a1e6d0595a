// What the user reads after a failed send, made from the failure alone: the failure box's
// details in the window, and the one line the command prints.
#include "sms/failure_report.h"

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

}  // namespace
}  // namespace zelvo::sms
