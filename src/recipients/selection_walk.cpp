#include "recipients/selection_walk.h"

#include <algorithm>
#include <iterator>

#include "recipients/number_entry.h"

namespace zelvo::recipients {

namespace {

struct Walk {
    WalkRejection rejection = WalkRejection::None;
    qsizetype stopRow = -1;
    int accepted = 0;
    QString text;
};

WalkRejection judge(QStringView entry, int acceptedSoFar) {
    // The limit is checked before the entry is even cut, as the first step of each entry.
    if (acceptedSoFar >= MaxSelectedNumbers) return WalkRejection::Limit;
    return rejectionOf(checkNumber(numberOf(entry)));
}

// One walk over the picks, top to bottom. Without `dropped` it stops at the first rejecting
// entry. With it, a rejecting entry loses its pick and the walk goes on: the rows before it were
// all accepted, so going on gives exactly what a fresh walk over the reduced picks would give.
Walk walk(const EntryList& entries, std::vector<bool>& selected, qsizetype rows,
          std::vector<int>* dropped) {
    Walk result;
    for (qsizetype row = 0; row < rows; ++row) {
        if (!selected[static_cast<size_t>(row)]) continue;
        const QStringView entry = entries[row];
        const WalkRejection rejection = judge(entry, result.accepted);
        if (rejection != WalkRejection::None) {
            if (dropped == nullptr) {
                result.rejection = rejection;
                result.stopRow = row;
                return result;
            }
            selected[static_cast<size_t>(row)] = false;
            dropped->push_back(static_cast<int>(row));
            continue;
        }
        if (result.accepted > 0) result.text += u',';
        result.text += numberOf(entry);
        ++result.accepted;
    }
    return result;
}

}  // namespace

WalkRejection rejectionOf(NumberCheck check) {
    switch (check) {
        case NumberCheck::WrongOperator:
            return WalkRejection::WrongOperator;
        case NumberCheck::WrongLength:
            return WalkRejection::WrongLength;
        case NumberCheck::Accepted:
            break;
    }
    return WalkRejection::None;
}

QString rejectionMessage(WalkRejection rejection) {
    switch (rejection) {
        case WalkRejection::Limit:
            return QStringLiteral("您选择的电话号码已达到上限。");
        case WalkRejection::WrongOperator:
            return QStringLiteral("您选择的电话号码错误,它不是移动号码。");
        case WalkRejection::WrongLength:
            return QStringLiteral("您选择的电话号码错误,它不是手机号码。");
        case WalkRejection::None:
            break;
    }
    return {};
}

SelectionOutcome runSelectionWalk(const EntryList& entries, std::vector<bool> selected,
                                  int currentRow) {
    // Rows without a flag count as not picked.
    const qsizetype rows = std::min<qsizetype>(entries.size(), std::ssize(selected));

    SelectionOutcome outcome;
    Walk first = walk(entries, selected, rows, nullptr);
    outcome.rejection = first.rejection;
    if (first.rejection == WalkRejection::None) {
        outcome.selectedCount = first.accepted;
        if (first.accepted > 0) outcome.recipientText = std::move(first.text);
        return outcome;
    }

    // The rejection takes back the pick that raised it. When there is no picked current row
    // (no focus, or a program-made change left it unpicked), clearing it would change nothing
    // and every later walk would stop at the same entry, so the entry that stopped the walk
    // loses its pick instead.
    const bool currentPicked =
        currentRow >= 0 && currentRow < rows && selected[static_cast<size_t>(currentRow)];
    const int cleared = currentPicked ? currentRow : static_cast<int>(first.stopRow);
    selected[static_cast<size_t>(cleared)] = false;
    outcome.deselect.push_back(cleared);

    // Rebuild from what is still picked, so the field never shows a number whose pick is gone
    // and never misses one below the stop. Further rejections here stay silent.
    Walk rebuilt = walk(entries, selected, rows, &outcome.deselect);
    outcome.selectedCount = rebuilt.accepted;
    if (rebuilt.accepted > 0) outcome.recipientText = std::move(rebuilt.text);
    return outcome;
}

}  // namespace zelvo::recipients
