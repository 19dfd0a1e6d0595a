#pragma once

#include "sms/gateway_submission.h"
#include "sms/transport_options.h"

namespace zelvo::smtp {

// Submits the gateway mail over one connection with libcurl: STARTTLS whenever offered, the
// login always, one recipient; a server that offers no login we can use is sent no message.
// Returns once the server has accepted the data; throws sms::MailError otherwise, with the
// curl error and the server's last reply but never the credentials. Safe to call from several
// threads at once.
void submitMail(const sms::GatewaySubmission& submission, const sms::TransportOptions& options);

}  // namespace zelvo::smtp
