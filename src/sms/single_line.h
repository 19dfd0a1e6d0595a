#pragma once

#include <QString>

namespace zelvo::sms {

// Throws MailError when `value` holds CR, LF or NUL: such text would end a header or an
// SMTP command early and let the rest pass as the sender's own lines.
void requireSingleLine(const QString& value, const char* what);

}  // namespace zelvo::sms
