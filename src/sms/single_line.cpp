#include "sms/single_line.h"

#include "sms/mail_error.h"

namespace zelvo::sms {

void requireSingleLine(const QString& value, const char* what) {
    for (QChar c : value) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c.isNull())
            throw MailError(QStringLiteral("%1 含有换行符或空字符 / %1 must not contain line "
                                           "breaks or NUL")
                                .arg(QLatin1String(what)),
                            FailureCause::InvalidInput);
    }
}

}  // namespace zelvo::sms
