// One click on the number list: which numbers the recipient field gets, which pick is taken
// back, and what the user is told, from the entries and their picks alone.
#include "recipients/selection_walk.h"

#include <optional>

#include "support/test_files.h"

namespace zelvo::recipients {
namespace {

// n entries "n<i>,138060100<ii>", all accepted.
QStringList numbered(int n) {
    QStringList entries;
    for (int i = 0; i < n; ++i)
        entries << QStringLiteral("n%1,138060100%2").arg(i).arg(i, 2, 10, QChar(u'0'));
    return entries;
}

// The numbers of numbered entries from first to last, joined by commas.
QString numbersOf(int first, int last) {
    QStringList numbers;
    for (int i = first; i <= last; ++i)
        numbers << QStringLiteral("138060100%1").arg(i, 2, 10, QChar(u'0'));
    return numbers.join(u',');
}

std::vector<int> range(int first, int last) {
    std::vector<int> rows;
    for (int i = first; i <= last; ++i) rows.push_back(i);
    return rows;
}

using enum WalkRejection;
const QString kLi = QStringLiteral("李三,13806012345");

TEST(SelectionWalkTest, BuildsTheFieldAndTakesBackARejectedPick) {
    const struct {
        const char* name;
        QStringList entries;
        std::vector<int> picked;
        int current;  // the entry just clicked
        WalkRejection rejection = WalkRejection::None;
        std::vector<int> deselect = {};
        std::optional<QString> field = std::nullopt;  // nullopt: the field stays as it is
        int count = 0;
    } rows[] = {
        // clang-format off
        {.name = "OneEntry", .entries = {kLi}, .picked = {0}, .current = 0, .field = "13806012345", .count = 1},
        {.name = "InListOrder", .entries = numbered(5), .picked = {1, 4}, .current = 1, .field = "13806010001,13806010004", .count = 2},
        {.name = "LastPickTakenBackKeepsTheField", .entries = {kLi}, .picked = {}, .current = 0},
        {.name = "DigitsWithoutComma", .entries = {"13806012345"}, .picked = {0}, .current = 0, .field = "13806012345", .count = 1},
        {.name = "DigitsPastElevenIgnored", .entries = {"a,1380601234599"}, .picked = {0}, .current = 0, .field = "13806012345", .count = 1},
        {.name = "EveryPrefix", .entries = {"a,14706012345", "b,14806012345", "c,15706012345", "d,17206012345", "e,17806012345", "f,18206012345", "g,18306012345", "h,18406012345", "i,19506012345", "j,19706012345"}, .picked = range(0, 9), .current = 9, .field = "14706012345,14806012345,15706012345,17206012345,17806012345,18206012345,18306012345,18406012345,19506012345,19706012345", .count = 10},
        {.name = "LettersAfterPrefix", .entries = {"x,135abcdefgh"}, .picked = {0}, .current = 0, .rejection = WrongLength, .deselect = {0}},
        {.name = "CommasAfterPrefix", .entries = {"x,138,10086,1"}, .picked = {0}, .current = 0, .rejection = WrongLength, .deselect = {0}},
        {.name = "FullWidthDigitsAfterPrefix", .entries = {"x,138０６０１２３４５"}, .picked = {0}, .current = 0, .rejection = WrongLength, .deselect = {0}},
        {.name = "ShortNumber", .entries = {"x,1380601"}, .picked = {0}, .current = 0, .rejection = WrongLength, .deselect = {0}},
        {.name = "NewPrefixShort", .entries = {"x,1981"}, .picked = {0}, .current = 0, .rejection = WrongLength, .deselect = {0}},
        {.name = "OtherOperator", .entries = {"x,13306012345"}, .picked = {0}, .current = 0, .rejection = WrongOperator, .deselect = {0}},
        {.name = "NeighbourOfANewPrefix", .entries = {"x,19606012345"}, .picked = {0}, .current = 0, .rejection = WrongOperator, .deselect = {0}},
        {.name = "PrefixCheckedBeforeLength", .entries = {"x,1231"}, .picked = {0}, .current = 0, .rejection = WrongOperator, .deselect = {0}},
        {.name = "EmptyNumber", .entries = {"x,"}, .picked = {0}, .current = 0, .rejection = WrongOperator, .deselect = {0}},
        {.name = "SpaceAfterComma", .entries = {"x, 13806012345"}, .picked = {0}, .current = 0, .rejection = WrongOperator, .deselect = {0}},
        {.name = "FirstCommaSeparates", .entries = {"x,y,13806012345"}, .picked = {0}, .current = 0, .rejection = WrongOperator, .deselect = {0}},
        {.name = "FullWidthComma", .entries = {"李三，13806012345"}, .picked = {0}, .current = 0, .rejection = WrongOperator, .deselect = {0}},
        {.name = "FullWidthDigits", .entries = {"x,１３８06012345"}, .picked = {0}, .current = 0, .rejection = WrongOperator, .deselect = {0}},
        {.name = "RejectionKeepsEarlierPicks", .entries = {"a,13806012341", "b,12306012342"}, .picked = {0, 1}, .current = 1, .rejection = WrongOperator, .deselect = {1}, .field = "13806012341", .count = 1},
        {.name = "RejectionKeepsLaterPicks", .entries = {"a,12306012341", "b,13806012342"}, .picked = {0, 1}, .current = 0, .rejection = WrongOperator, .deselect = {0}, .field = "13806012342", .count = 1},
        {.name = "WithoutCurrentEntryTheStopLosesItsPick", .entries = {"a,13806012341", "b,12306012342"}, .picked = {0, 1}, .current = -1, .rejection = WrongOperator, .deselect = {1}, .field = "13806012341", .count = 1},
        {.name = "TenAccepted", .entries = numbered(12), .picked = range(0, 9), .current = 9, .field = numbersOf(0, 9), .count = 10},
        {.name = "EleventhBelowAll", .entries = numbered(12), .picked = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11}, .current = 11, .rejection = Limit, .deselect = {11}, .field = numbersOf(0, 9), .count = 10},
        {.name = "EleventhAboveSome", .entries = numbered(12), .picked = {0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, .current = 0, .rejection = Limit, .deselect = {0}, .field = numbersOf(2, 11), .count = 10},
        {.name = "RebuildDropsFurtherRejectsSilently", .entries = numbered(11) << "x,12306012345", .picked = range(0, 11), .current = 11, .rejection = Limit, .deselect = {11, 10}, .field = numbersOf(0, 9), .count = 10},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<bool> picks(std::size_t(row.entries.size()), false);
        for (const int picked : row.picked) picks[std::size_t(picked)] = true;
        const SelectionOutcome outcome =
            runSelectionWalk(testing::entriesOf(row.entries), picks, row.current);
        EXPECT_EQ(outcome.rejection, row.rejection);
        EXPECT_EQ(outcome.deselect, row.deselect);
        EXPECT_EQ(outcome.recipientText, row.field);
        EXPECT_EQ(outcome.selectedCount, row.count);
    }
}

}  // namespace
}  // namespace zelvo::recipients
