#pragma once

#include <QString>

#include "config/app_config.h"
#include "sms/cdo_message.h"

namespace zelvo::sms {

// One SMS as the gateway takes it: sent from the account, the numbers as the subject.
struct GatewayMail {
    QString from;      // the account address
    QString password;  // the account's password
    QString subject;   // the numbers joined by ","
    QString textbody;  // the message
};

// Fills the mail object for the gateway: its four message fields, then its six configuration
// fields under configPrefix (network submission to the configured server with basic
// authentication, the login name taken from the account), and commits them.
void fillGatewayMail(CdoMessage& message, const QString& configPrefix, const GatewayMail& mail,
                     const AppConfig& config);

}  // namespace zelvo::sms
