#include "smtp/smtp_module.h"

#include <QtGlobal>

#include "sms/smtp_submission.h"

extern "C" Q_DECL_EXPORT void zelvoSubmitMail(const zelvo::sms::SmtpSubmission& submission,
                                              const zelvo::sms::TransportOptions& options) {
    zelvo::sms::submitMail(submission, options);
}
