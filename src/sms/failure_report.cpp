#include "sms/failure_report.h"

#include <QStringList>

namespace zelvo::sms {
namespace {

struct Explanation {
    QString what;    // what failed
    QString advice;  // what to do; empty where the user can do nothing about it
};

Explanation explain(const MailError& error) {
    const QString port = QString::number(error.place().port);
    switch (error.cause()) {
        case FailureCause::InvalidInput:
            return {QStringLiteral("邮件内容或发送设置无效, 没有发送: ") +
                        QString::fromStdString(error.what()),
                    QStringLiteral("请检查邮箱地址、接收号码和短信内容中有无换行等特殊字符。")};
        case FailureCause::Setup:
            return {QStringLiteral("程序的网络组件无法启动"),
                    QStringLiteral("请重新启动程序; 如果仍然失败, 请重新安装程序。")};
        case FailureCause::Resolve:
            return {QStringLiteral("找不到邮件服务器 (无法解析服务器名称)"),
                    QStringLiteral("请检查网络连接和 DNS 设置。")};
        case FailureCause::Connect:
            return {QStringLiteral("无法连接邮件服务器"),
                    QStringLiteral("请检查网络连接; 您所在的网络可能封锁了端口 %1, "
                                   "可以换一个网络再试。")
                        .arg(port)};
        case FailureCause::Tls:
            return {QStringLiteral("与邮件服务器建立安全连接 (TLS) 失败"),
                    QStringLiteral("请检查电脑的日期和时间是否正确; 网络中的设备也可能干扰了"
                                   "加密连接。")};
        case FailureCause::NoTrustedAuthority:
            return {QStringLiteral("系统中没有任何受信任的根证书 (CA), 无法验证邮件服务器的证书, "
                                   "邮件没有发送"),
                    QStringLiteral("请安装 ca-certificates 软件包 (例如执行 sudo apt-get install "
                                   "ca-certificates) 后再试。")};
        case FailureCause::NoStartTls:
            return {QStringLiteral("端口 %1 上的邮件服务器没有提供加密连接 (STARTTLS), "
                                   "密码没有发送")
                        .arg(port),
                    QStringLiteral("网络中的设备可能去掉了加密; 请换一个网络再试。")};
        case FailureCause::LoginRefused:
            return {QStringLiteral("邮件服务器拒绝了登录"),
                    QStringLiteral("请检查邮箱地址; 密码栏要填写139邮箱的授权码, 不是网页登录"
                                   "密码: 在139邮箱的 设置 → 客户端设置 中开启SMTP服务并获取"
                                   "授权码。")};
        case FailureCause::NoUsableLogin:
            return {QStringLiteral("邮件服务器没有提供可用的登录方式, 邮件没有发出"),
                    QStringLiteral("请在139邮箱的设置中确认已开启SMTP发信服务。")};
        case FailureCause::SenderRefused:
            return {QStringLiteral("邮件服务器拒绝了发件人"),
                    QStringLiteral("请确认邮箱地址是您自己的139邮箱地址。")};
        case FailureCause::RecipientRefused:
            return {QStringLiteral("邮件服务器拒绝了收件人 (短信网关)"), QString()};
        case FailureCause::MessageRefused:
            return {QStringLiteral("邮件服务器拒绝了邮件内容"),
                    QStringLiteral("请修改短信内容后再试, 或稍后再试。")};
        case FailureCause::Timeout:
            return {QStringLiteral("邮件服务器响应超时"), QStringLiteral("请检查网络连接后再试。")};
        case FailureCause::Dropped:
            return {QStringLiteral("与邮件服务器的连接中断"),
                    QStringLiteral("请检查网络连接后再试。")};
        case FailureCause::Other:
            break;
    }
    return {QStringLiteral("发送失败"), QString()};
}

// What to do after both routes failed. Where neither let a conversation start, changing
// networks is no longer the first thing left to try: the ports can be opened.
QString adviceAfterBothRoutes(const MailError& error) {
    const MailError& earlier = *error.earlierRoute();
    const auto unreachable = [](const MailError& e) {
        return e.cause() == FailureCause::Connect || e.cause() == FailureCause::Timeout ||
               e.cause() == FailureCause::Dropped;
    };
    if (!unreachable(earlier) || !unreachable(error)) return explain(error).advice;
    return QStringLiteral(
               "请检查网络连接; 您所在的网络可能同时封锁了端口 %1 和 %2: 请在防火墙"
               "或云服务器的安全组中允许向外连接端口 %2, 或换一个网络再试。")
        .arg(earlier.place().port)
        .arg(error.place().port);
}

QString routeOf(const FailurePlace& place) {
    return QStringLiteral("%1, 端口 %2 (%3)")
        .arg(place.host)
        .arg(place.port)
        .arg(tlsModeName(place.tls));
}

}  // namespace

QString failureReason(const MailError& error) {
    return explain(error).what;
}

QString failureDetails(const MailError& error) {
    const Explanation explanation = explain(error);
    const FailurePlace& place = error.place();
    const MailError* earlier = error.earlierRoute();
    QStringList lines;
    if (earlier) {
        lines << QStringLiteral("失败原因: 两种连接方式都没有成功")
              << QStringLiteral("邮件服务器: %1: %2")
                     .arg(routeOf(earlier->place()), explain(*earlier).what)
              << QStringLiteral("邮件服务器: %1: %2").arg(routeOf(place), explanation.what);
    } else {
        lines << QStringLiteral("失败原因: ") + explanation.what;
        if (!place.host.isEmpty())
            lines << QStringLiteral("邮件服务器: %1, 端口 %2").arg(place.host).arg(place.port);
    }
    if (!place.lastReply.isEmpty()) lines << QStringLiteral("服务器最后的回复: ") + place.lastReply;
    const QString advice = earlier ? adviceAfterBothRoutes(error) : explanation.advice;
    if (!advice.isEmpty()) lines << QStringLiteral("处理办法: ") + advice;
    if (error.cause() != FailureCause::InvalidInput) {
        lines << QString() << QStringLiteral("Technical details: ");
        if (earlier) lines.last() += QString::fromStdString(earlier->what()) + QLatin1Char('\n');
        lines.last() += QString::fromStdString(error.what());
    }
    return lines.join(QLatin1Char('\n'));
}

QString failureLine(const MailError& error) {
    const Explanation explanation = explain(error);
    const FailurePlace& place = error.place();
    const MailError* earlier = error.earlierRoute();
    QString line = QStringLiteral("短信发送失败: ");
    if (earlier) {
        line += QStringLiteral("%1 (%2:%3 %4); ")
                    .arg(explain(*earlier).what, earlier->place().host)
                    .arg(earlier->place().port)
                    .arg(tlsModeName(earlier->place().tls));
    }
    line += explanation.what;
    if (earlier) {
        line += QStringLiteral(" (%1:%2 %3)")
                    .arg(place.host)
                    .arg(place.port)
                    .arg(tlsModeName(place.tls));
    } else if (!place.host.isEmpty()) {
        line += QStringLiteral(" (%1:%2)").arg(place.host).arg(place.port);
    }
    if (!place.lastReply.isEmpty()) line += QStringLiteral("; 服务器回复: ") + place.lastReply;
    const QString advice = earlier ? adviceAfterBothRoutes(error) : explanation.advice;
    if (!advice.isEmpty()) line += QStringLiteral("; ") + advice;
    // what() of a refused input may quote the field: keep it on this line and away from the
    // terminal's control sequences.
    for (QChar& c : line)
        if (!c.isPrint()) c = QLatin1Char(' ');
    return line;
}

}  // namespace zelvo::sms
