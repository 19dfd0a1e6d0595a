#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "recipients/entry_list.h"
#include "recipients/number_entry.h"

namespace zelvo::recipients {

enum class WalkRejection { None, Limit, WrongOperator, WrongLength };

// The rejection a failed number check gives; None for an accepted number.
WalkRejection rejectionOf(NumberCheck check);
// What the user is told for a rejection (empty for None). The window shows it in a box, the
// command-line sender prints it.
QString rejectionMessage(WalkRejection rejection);

// What one click on the number list does to the window.
struct SelectionOutcome {
    // The message to show; None shows nothing. For Limit the picks are cleared before the
    // message, for the other two after it.
    WalkRejection rejection = WalkRejection::None;
    // Rows whose pick is cleared, in this order; the first is the current entry (see below).
    std::vector<int> deselect;
    // New text of the recipient field; nullopt leaves the field as it is.
    std::optional<QString> recipientText;
    // How many numbers the walk accepted.
    int selectedCount = 0;
};

// Runs the selection walk over the entry texts and their pick flags. currentRow is the entry
// whose click raised the walk (-1 when none). After a rejection the field and the count are
// rebuilt from the picks that remain, so a positive count always matches the field; entries
// that reject during that rebuild lose their pick too (listed after the first in `deselect`),
// silently. When currentRow is -1, out of range or not picked, the rejection clears the pick
// of the entry at which the walk stopped instead. Rows beyond the shorter of `entries` and
// `selected` count as not picked.
SelectionOutcome runSelectionWalk(const EntryList& entries, std::vector<bool> selected,
                                  int currentRow);

}  // namespace zelvo::recipients
