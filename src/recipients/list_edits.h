#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "recipients/entry_list.h"
#include "recipients/phone_book.h"

namespace zelvo::recipients {

// What the number list's commands tell the user, and the list they leave; the window only shows
// the texts and asks the questions.

// Why an entry typed by hand cannot join a list of listSize entries, or nothing when it can.
std::optional<QString> manualEntryRefusal(const QString& entry, qsizetype listSize);

// The question before a delete. The picked entries are named, a screenful at most, since a
// click may have gone astray; past that the total is told.
inline constexpr int kDeletionNamedAtMost = 20;
QString deletionQuestion(const QStringList& picked);

// The entries whose flag in picks is not set, in their order.
EntryList withoutPicked(const EntryList& entries, const std::vector<bool>& picks);

// Why a read phone book changes nothing: it holds no entry of its kind. Nothing when it has one.
// shownPath is the path as the system writes it.
std::optional<QString> emptyBookNotice(const PhoneBookImport& book, const QString& shownPath);

// What the import left out of a full list, or nothing when it took every entry.
std::optional<QString> leftOutNotice(const PhoneBookImport& book);

}  // namespace zelvo::recipients
