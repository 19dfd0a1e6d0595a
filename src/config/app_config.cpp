#include "config/app_config.h"

#include "fixed_addresses.h"

namespace zelvo {

AppConfig AppConfig::builtIn() {
    AppConfig config;
    config.smtpHost = QString::fromUtf8(fixed::kSmtpHost);
    config.smtpPort = fixed::kSmtpPort;
    config.smtpsPort = fixed::kSmtpsPort;
    config.gatewayAddress = QString::fromUtf8(fixed::kGatewayAddress);
    config.mailDomainSuffix = QString::fromUtf8(fixed::kMailDomainSuffix);
    config.infoPageUrl = QString::fromUtf8(fixed::kInfoPageUrl);
    config.homepageUrl = QString::fromUtf8(fixed::kHomepageUrl);
    config.feedbackUrl = QString::fromUtf8(fixed::kFeedbackUrl);
    config.registrationUrl = QString::fromUtf8(fixed::kRegistrationUrl);
    config.contactMail = QString::fromUtf8(fixed::kContactMail);
    config.installedProgramFolders =
        QString::fromUtf8(fixed::kInstalledProgramFolders).split(u';', Qt::SkipEmptyParts);
    return config;
}

}  // namespace zelvo
