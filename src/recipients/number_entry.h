#pragma once

#include <QString>
#include <QStringView>
#include <array>

namespace zelvo::recipients {

inline constexpr int MaxSelectedNumbers = 10;
// List positions and the entry count are 16-bit signed, so the count stops at 32,767.
inline constexpr int MaxListEntries = 32767;
// The longest entry the list takes, from a phone book or by hand: a full list of such entries
// still fits in the largest set.ini the program reads (settings::kMaxSettingsFileBytes), so a
// list that was taken in can always be saved and loaded again.
inline constexpr qsizetype MaxEntryLength = 500;
// Digits of a mobile number.
inline constexpr qsizetype NumberLength = 11;

// The operator's mobile prefixes: the first three characters of every number the gateway
// delivers to. Compared exactly, character by character.
inline constexpr auto MobilePrefixTable = std::to_array<QStringView>({
    // clang-format off
    u"134", u"135", u"136", u"137", u"138", u"139",
    u"147", u"148",
    u"150", u"151", u"152", u"157", u"158", u"159",
    u"172", u"178",
    u"182", u"183", u"184", u"187", u"188",
    u"195", u"197", u"198",
    // clang-format on
});

// The number part of a NumberEntry: at most 11 characters after the first ASCII comma,
// or the first 11 characters when there is no comma. The view points into `entry`.
QStringView numberOf(QStringView entry);

enum class NumberCheck { Accepted, WrongOperator, WrongLength };
// Prefix test first, then the test for exactly 11 ASCII digits (WrongLength when it fails).
NumberCheck checkNumber(QStringView number);

// The manual entry's format test: a comma, at least 11 characters after the first one, and no
// more than MaxEntryLength in all.
bool passesManualEntryFormat(const QString& text);

}  // namespace zelvo::recipients
