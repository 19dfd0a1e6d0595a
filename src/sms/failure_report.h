#pragma once

#include <QString>

#include "sms/mail_error.h"

namespace zelvo::sms {

// Why a send failed, for the person who tried it, Chinese first: what failed, the server and
// its port, the server's last reply when there was one, what to do where there is something to
// do, and then the technical description. Several lines; never the password.
QString failureDetails(const MailError& error);

// The same reason on one line, for a terminal: what failed, the server and port, the last
// reply and what to do.
QString failureLine(const MailError& error);

}  // namespace zelvo::sms
