#include "sms/send_check.h"

#include "recipients/number_entry.h"
#include "sms/message_parts.h"

namespace zelvo::sms {

qsizetype accountLength(const QString& mailDomainSuffix) {
    return recipients::NumberLength + mailDomainSuffix.size();
}

SendCheck checkSendForm(const SendForm& form, const QString& mailDomainSuffix) {
    SendCheck check;
    check.accountHasSuffix = form.sender.contains(mailDomainSuffix, Qt::CaseSensitive);
    check.accountLength = form.sender.size() == accountLength(mailDomainSuffix);
    check.hasText = !form.text.isEmpty();
    check.textFits =
        form.inParts ? !splitMessage(form.text).parts.isEmpty() : form.text.size() < MessageLimit;
    check.hasRecipients = !form.recipients.isEmpty();
    check.picked = form.selectedCount > 0;
    return check;
}

bool passesSendCheck(const SendForm& form, const QString& mailDomainSuffix) {
    return checkSendForm(form, mailDomainSuffix).passed();
}

QString loginNameOf(const QString& from) {
    const qsizetype at = from.indexOf(QLatin1Char('@'));
    return at < 0 ? from : from.left(at);
}

}  // namespace zelvo::sms
