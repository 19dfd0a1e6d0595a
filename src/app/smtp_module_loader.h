#pragma once

#include <QStringList>
#include <functional>

#include "app/module_folders.h"
#include "sms/gateway_submission.h"
#include "sms/transport_options.h"

namespace zelvo::app {

// How the window submits a mail; throws sms::MailError when it fails.
using SubmitMail = std::function<void(const sms::GatewaySubmission&, const sms::TransportOptions&)>;

// Submits through the SMTP module, loaded from the first of `folders` that has it at the first
// call. A module that cannot be loaded fails every send with a MailError of cause Setup that
// says why.
SubmitMail submitThroughSmtpModule(const QStringList& folders = moduleFolders());

}  // namespace zelvo::app
