#include "smtp/smtp_module.h"

#include <QtGlobal>
#include <type_traits>

#include "smtp/smtp_submission.h"

extern "C" Q_DECL_EXPORT void zelvoSubmitMail(const zelvo::sms::GatewaySubmission& submission,
                                              const zelvo::sms::TransportOptions& options) {
    zelvo::smtp::submitMail(submission, options);
}

static_assert(std::is_same_v<decltype(&zelvoSubmitMail), zelvo::smtp::SubmitMailFunction>,
              "the module's entry point has the type the window resolves it as");
