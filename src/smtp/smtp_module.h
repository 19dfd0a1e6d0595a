#pragma once

#include "sms/gateway_submission.h"
#include "sms/transport_options.h"

namespace zelvo::smtp {

// The one entry point of the SMTP module, named kSubmitMailSymbol: submits with libcurl and
// throws zelvo::sms::MailError, exactly as zelvo::smtp::submitMail.
using SubmitMailFunction = void (*)(const sms::GatewaySubmission&, const sms::TransportOptions&);
inline constexpr const char* kSubmitMailSymbol = "zelvoSubmitMail";
inline constexpr const char* kSmtpModuleName = "zelvo_smtp";

}  // namespace zelvo::smtp
