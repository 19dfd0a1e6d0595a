#pragma once

#include <QStringList>
#include <functional>

#include "app/module_loader.h"
#include "sms/gateway_submission.h"
#include "sms/transport_options.h"

namespace zelvo::app {

// How the window submits a mail: returns the encryption of the route that took it; throws
// sms::MailError when it fails.
using SubmitMail =
    std::function<sms::TlsMode(const sms::GatewaySubmission&, const sms::TransportOptions&)>;

// Submits through the SMTP module, loaded from the first of `folders` that has it at the first
// call. A module that cannot be loaded fails every send with a MailError of cause Setup that
// says why.
SubmitMail submitThroughSmtpModule(const QStringList& folders = moduleFolders());

}  // namespace zelvo::app
