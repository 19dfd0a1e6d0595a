#pragma once

#include <QString>

#include "sms/mail_error.h"

namespace zelvo::sms {

// What failed, in a few Chinese words.
QString failureReason(const MailError& error);

// Why a send failed, for the person who tried it, Chinese first: what failed, the server and
// its port, the server's last reply when there was one, what to do where there is something to
// do, and then the technical description. After two routes failed, each route's server, port,
// encryption and cause. Several lines; never the password.
QString failureDetails(const MailError& error);

// The same reason on one line, for a terminal: what failed, the server and port (each route's
// after two failed), the last reply and what to do.
QString failureLine(const MailError& error);

}  // namespace zelvo::sms
