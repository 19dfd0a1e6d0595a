#pragma once

#include "sms/gateway_submission.h"
#include "sms/transport_options.h"

namespace zelvo::smtp {

// Submits the gateway mail with libcurl over the submission's first route, TLS always (STARTTLS
// or implicit), the login always, one recipient; a server that offers no login we can use is
// sent no message. Moves on to the next route only when no SMTP conversation could start on
// this one: no connection, no greeting within the first-route budget, a connection closed
// before the greeting, or no STARTTLS; once a server has greeted and gone secure, its outcome
// stands, so no mail is ever submitted twice. Returns the encryption of the route that took
// the mail; throws sms::MailError otherwise, with the curl error and the server's last reply
// but never the credentials, and the earlier route's failure in it. Safe to call from several
// threads at once.
sms::TlsMode submitMail(const sms::GatewaySubmission& submission,
                        const sms::TransportOptions& options);

}  // namespace zelvo::smtp
