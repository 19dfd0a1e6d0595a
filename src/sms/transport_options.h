#pragma once

#include <QString>

#include "config/app_config.h"

namespace zelvo::sms {

// How a submission behaves on the wire beyond what the mail object's fields say.
struct TransportOptions {
    SmtpTimeouts timeouts;
    QString caFile;  // extra CA bundle to trust, empty for the system store only
};

}  // namespace zelvo::sms
