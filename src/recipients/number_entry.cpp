#include "recipients/number_entry.h"

#include <algorithm>

namespace zelvo::recipients {

namespace {
constexpr qsizetype PrefixLength = 3;
}  // namespace

QStringView numberOf(QStringView entry) {
    // Only the ASCII comma separates; with no comma the number starts at the first character.
    const qsizetype comma = entry.indexOf(u',');
    return entry.sliced(comma + 1).left(NumberLength);
}

NumberCheck checkNumber(QStringView number) {
    // A short number can still carry a known prefix, so the prefix decides first.
    const QStringView prefix = number.left(PrefixLength);
    const bool known = prefix.size() == PrefixLength &&
                       std::find(MobilePrefixTable.begin(), MobilePrefixTable.end(), prefix) !=
                           MobilePrefixTable.end();
    if (!known) return NumberCheck::WrongOperator;
    // Anything but eleven ASCII digits is no mobile number: a comma in it would make one pick
    // several recipients, and other characters reach the gateway as they are.
    const bool digits =
        std::all_of(number.begin(), number.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (number.size() != NumberLength || !digits) return NumberCheck::WrongLength;
    return NumberCheck::Accepted;
}

bool passesManualEntryFormat(const QString& text) {
    const qsizetype comma = text.indexOf(u',');
    return comma >= 0 && text.size() - (comma + 1) >= NumberLength && text.size() <= MaxEntryLength;
}

}  // namespace zelvo::recipients
