#include "recipients/number_entry.h"

#include <algorithm>

namespace zelvo::recipients {

const std::array<QStringView, 13> MobilePrefixTable = {
    u"134", u"135", u"136", u"137", u"138", u"139", u"150",
    u"151", u"152", u"158", u"159", u"187", u"188",
};

namespace {
constexpr qsizetype NumberLength = 11;
constexpr qsizetype PrefixLength = 3;
}  // namespace

QStringView numberOf(QStringView entry) {
    // Only the ASCII comma separates; with no comma the number starts at the first character.
    const qsizetype comma = entry.indexOf(u',');
    return entry.sliced(comma + 1).left(NumberLength);
}

QString cutNumber(const QString& entry) {
    return numberOf(entry).toString();
}

NumberCheck checkNumber(QStringView number) {
    // A short number can still carry a known prefix, so the prefix decides first.
    const QStringView prefix = number.left(PrefixLength);
    const bool known = prefix.size() == PrefixLength &&
                       std::find(MobilePrefixTable.begin(), MobilePrefixTable.end(), prefix) !=
                           MobilePrefixTable.end();
    if (!known) return NumberCheck::WrongOperator;
    if (number.size() != NumberLength) return NumberCheck::WrongLength;
    return NumberCheck::Accepted;
}

NumberCheck checkNumber(const QString& number) {
    return checkNumber(QStringView(number));
}

bool passesManualEntryFormat(const QString& text) {
    const qsizetype comma = text.indexOf(u',');
    return comma >= 0 && text.size() - (comma + 1) >= NumberLength;
}

}  // namespace zelvo::recipients
