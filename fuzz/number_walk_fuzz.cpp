// Number entries and the selection walk: the number is the first 11 characters after the first
// ASCII comma, and any entries, picks and current row give an outcome that keeps the promises
// of selection_walk.h, never more than the 10 numbers the gateway takes.
#include <algorithm>
#include <set>

#include "fuzz_support.h"
#include "recipients/number_entry.h"
#include "recipients/selection_walk.h"

using namespace zelvo::recipients;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    EntryList entries;
    const int rows = in.ConsumeIntegralInRange<int>(0, 40);
    for (int i = 0; i < rows; ++i) entries.append(zelvo::fuzz::consumeText(in, 40));
    std::vector<bool> picks(in.ConsumeIntegralInRange<size_t>(0, size_t(rows) + 2));
    for (size_t i = 0; i < picks.size(); ++i) picks[i] = in.ConsumeBool();
    const int currentRow = in.ConsumeIntegralInRange<int>(-2, rows + 1);

    for (const QStringView entry : entries) {
        const QString number = numberOf(entry).toString();
        const qsizetype comma = entry.indexOf(u',');
        FUZZ_CHECK(number == (comma < 0 ? entry.left(11) : entry.mid(comma + 1, 11)));
        const NumberCheck check = checkNumber(number);
        FUZZ_CHECK(check == checkNumber(QStringView(number)));
        if (check == NumberCheck::Accepted) {
            FUZZ_CHECK(number.size() == 11);
            FUZZ_CHECK(std::all_of(number.begin(), number.end(),
                                   [](QChar c) { return c >= u'0' && c <= u'9'; }));
            FUZZ_CHECK(std::find(MobilePrefixTable.begin(), MobilePrefixTable.end(),
                                 QStringView(number).first(3)) != MobilePrefixTable.end());
        }
        if (passesManualEntryFormat(entry.toString())) FUZZ_CHECK(number.size() == 11);
    }

    const SelectionOutcome outcome = runSelectionWalk(entries, picks, currentRow);
    const auto counted =
        static_cast<size_t>(std::min<qsizetype>(entries.size(), std::ssize(picks)));
    FUZZ_CHECK(outcome.selectedCount >= 0 && outcome.selectedCount <= 10);
    FUZZ_CHECK(outcome.recipientText.has_value() == (outcome.selectedCount > 0));
    if (outcome.recipientText) {
        FUZZ_CHECK(outcome.recipientText->size() == 12 * outcome.selectedCount - 1);
    }
    FUZZ_CHECK((outcome.rejection == WalkRejection::None) == outcome.deselect.empty());

    // Each cleared pick was a pick, once; with them cleared a fresh walk accepts what is left
    // and shows the same field.
    std::set<int> cleared;
    std::vector<bool> after = picks;
    for (const int row : outcome.deselect) {
        FUZZ_CHECK(row >= 0 && static_cast<size_t>(row) < counted && picks[size_t(row)]);
        FUZZ_CHECK(cleared.insert(row).second);
        after[size_t(row)] = false;
    }
    const SelectionOutcome again = runSelectionWalk(entries, after, currentRow);
    FUZZ_CHECK(again.rejection == WalkRejection::None);
    FUZZ_CHECK(again.selectedCount == outcome.selectedCount);
    FUZZ_CHECK(again.recipientText == outcome.recipientText);
    return 0;
}
