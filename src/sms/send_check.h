#pragma once

#include <QString>

namespace zelvo::sms {

// A message must be shorter than this many UTF-16 code units; the message field admits
// exactly this many, so the longest message it can hold is still refused.
inline constexpr int MessageLimit = 70;

// How many characters may still be typed before the send check refuses the message: 69 less
// those typed, counted as the check counts them (a line break in the window is two). Below zero
// when the message is too long.
inline int charactersLeft(const QString& message) {
    return MessageLimit - 1 - int(message.size());
}

// What the send command reads from the window before sending.
struct SendForm {
    QString sender;         // the account address
    QString recipients;     // the picked numbers, joined by ","
    QString text;           // the message
    int selectedCount = 0;  // how many numbers the latest pick accepted
    bool inParts = false;   // a long message may go in parts (see splitMessage)
};

// The six conditions of the send command, each on its own, so a caller can say which failed.
struct SendCheck {
    bool accountHasSuffix = false;  // the account holds the mail domain suffix
    bool accountLength = false;     // an 11-digit number and the suffix, nothing more
    bool hasText = false;
    bool textFits = false;  // shorter than MessageLimit, or fits MaxMessageParts when in parts
    bool hasRecipients = false;
    bool picked = false;  // at least one number picked

    bool passed() const {
        return accountHasSuffix && accountLength && hasText && textFits && hasRecipients && picked;
    }
};

// The length of an account address: a mobile number followed by the mail domain suffix.
qsizetype accountLength(const QString& mailDomainSuffix);

// Evaluates every condition; none stops the others.
SendCheck checkSendForm(const SendForm& form, const QString& mailDomainSuffix);

// All six conditions joined by AND.
bool passesSendCheck(const SendForm& form, const QString& mailDomainSuffix);

// The login name: the account address up to, not including, its first "@".
QString loginNameOf(const QString& from);

}  // namespace zelvo::sms
