#pragma once

#include <QtPlugin>

#include "sms/gateway_submission.h"
#include "sms/transport_options.h"

namespace zelvo::smtp {

// What the SMTP module offers the window: the submission over libcurl, exactly as
// zelvo::smtp::submitMail, throwing zelvo::sms::MailError.
class SmtpModule {
public:
    virtual ~SmtpModule() = default;
    virtual sms::TlsMode submitMail(const sms::GatewaySubmission& submission,
                                    const sms::TransportOptions& options) = 0;
};

inline constexpr const char* kSmtpModuleName = "zelvo_smtp";

}  // namespace zelvo::smtp

#define ZELVO_SMTP_MODULE_IID "com.example.zelvo.SmtpModule/1"
Q_DECLARE_INTERFACE(zelvo::smtp::SmtpModule, ZELVO_SMTP_MODULE_IID)
