#include "sms/gateway_submission.h"

#include <utility>

#include "sms/mail_composer.h"
#include "sms/mail_error.h"
#include "sms/send_check.h"

namespace zelvo::sms {

GatewaySubmission gatewaySubmission(const AppConfig& config, const QString& account,
                                    const QString& password, const QString& numbers,
                                    const QString& text, TlsMode first) {
    if (config.smtpHost.trimmed().isEmpty())
        throw MailError("没有设置邮件服务器 / no SMTP server is set", FailureCause::InvalidInput);
    for (const int port : {config.smtpPort, config.smtpsPort}) {
        if (port < 1 || port > 65535)
            throw MailError(
                QStringLiteral("邮件服务器端口 %1 无效 / SMTP port %1 is out of range").arg(port),
                FailureCause::InvalidInput);
    }
    QList<SmtpRoute> routes{
        {config.smtpHost, static_cast<quint16>(config.smtpPort), TlsMode::StartTls},
        {config.smtpHost, static_cast<quint16>(config.smtpsPort), TlsMode::Implicit}};
    if (routes.first().tls != first) std::swap(routes.first(), routes.last());
    return {std::move(routes),
            loginNameOf(account),
            password,
            account,
            config.gatewayAddress,
            numbers,
            text};
}

ComposedMail composeGatewayMail(const GatewaySubmission& submission) {
    const MailAddress sender = parseMailAddress(submission.sender, "From");
    return {
        sender.address, parseMailAddress(submission.gateway, "To").address,
        composeMail({submission.sender, submission.gateway, submission.subject, submission.text},
                    freshStamp(sender))};
}

}  // namespace zelvo::sms
