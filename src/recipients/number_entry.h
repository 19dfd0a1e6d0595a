#pragma once

#include <QString>
#include <QStringView>
#include <array>

namespace zelvo::recipients {

inline constexpr int MaxSelectedNumbers = 10;
// List positions and set.ini's `total` are 16-bit signed.
inline constexpr int MaxListEntries = 32767;

extern const std::array<QStringView, 13> MobilePrefixTable;

// The number part of a NumberEntry: at most 11 characters after the first ASCII comma,
// or the first 11 characters when there is no comma.
QString cutNumber(const QString& entry);
// The same cut without a copy; the view points into `entry`.
QStringView numberOf(QStringView entry);

enum class NumberCheck { Accepted, WrongOperator, WrongLength };
// Prefix test first, then the length test.
NumberCheck checkNumber(const QString& number);
NumberCheck checkNumber(QStringView number);

// The manual entry's format test: a comma, and at least 11 characters after the first one.
bool passesManualEntryFormat(const QString& text);

}  // namespace zelvo::recipients
