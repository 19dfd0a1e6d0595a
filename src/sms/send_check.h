#pragma once

#include <QString>

namespace zelvo::sms {

// What the send command reads from the window before sending.
struct SendForm {
    QString from;           // txtFrom
    QString subject;        // txtSubject
    QString textbody;       // txtTextbody
    int selectedCount = 0;  // SelectedCount
};

// The six conditions of the send command, all of them, joined by AND.
bool passesSendCheck(const SendForm& form, const QString& mailDomainSuffix);

// The login name: the account address up to, not including, its first "@".
QString loginNameOf(const QString& from);

}  // namespace zelvo::sms
