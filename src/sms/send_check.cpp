#include "sms/send_check.h"

namespace zelvo::sms {

bool passesSendCheck(const SendForm& form, const QString& mailDomainSuffix) {
    // Every condition is evaluated; none gets a message of its own.
    const bool hasSuffix = form.from.contains(mailDomainSuffix, Qt::CaseSensitive);
    const bool hasText = !form.textbody.isEmpty();
    const bool hasSubject = !form.subject.isEmpty();
    const bool textFits = form.textbody.size() < 70;
    const bool accountLength = form.from.size() == 19;
    const bool picked = form.selectedCount > 0;
    return hasSuffix && hasText && hasSubject && textFits && accountLength && picked;
}

QString loginNameOf(const QString& from) {
    const qsizetype at = from.indexOf(QLatin1Char('@'));
    return at < 0 ? from : from.left(at);
}

}  // namespace zelvo::sms
