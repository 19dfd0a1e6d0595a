#pragma once

#include "sms/smtp_submission.h"

namespace zelvo::app {

// A SubmitMailFunction that loads the SMTP module at its first call and submits through it.
// A module that cannot be loaded fails every send with a MailError of cause Setup that says
// why.
void submitThroughSmtpModule(const sms::SmtpSubmission& submission,
                             const sms::TransportOptions& options);

}  // namespace zelvo::app
