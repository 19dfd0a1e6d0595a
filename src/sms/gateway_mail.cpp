#include "sms/gateway_mail.h"

#include "sms/send_check.h"

namespace zelvo::sms {

void fillGatewayMail(CdoMessage& message, const QString& configPrefix, const GatewayMail& mail,
                     const AppConfig& config) {
    message.From = mail.from;
    message.To = config.gatewayAddress;
    message.Subject = mail.subject;
    message.Textbody = mail.textbody;
    CdoFields& fields = message.Configuration.Fields;
    fields.Item(configPrefix + QStringLiteral("sendusing")) = kSendUsingNetwork;
    fields.Item(configPrefix + QStringLiteral("smtpserver")) = config.smtpHost;
    fields.Item(configPrefix + QStringLiteral("smtpserverport")) = config.smtpPort;
    fields.Item(configPrefix + QStringLiteral("smtpauthenticate")) = kAuthenticateBasic;
    fields.Item(configPrefix + QStringLiteral("sendusername")) = loginNameOf(mail.from);
    fields.Item(configPrefix + QStringLiteral("sendpassword")) = mail.password;
    fields.Update();
}

}  // namespace zelvo::sms
