#include "recipients/selection_walk.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <optional>
#include <ostream>
#include <vector>

#include "recipients/number_entry.h"

static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace zelvo::recipients {

static void PrintTo(WalkRejection rejection, std::ostream* out) {
    const char* names[] = {"None", "Limit", "WrongOperator", "WrongLength"};
    *out << names[static_cast<int>(rejection)];
}

namespace {

using namespace Qt::StringLiterals;

// Row k of a list of valid entries carries the number 1380000000k (k < 10) and so on.
QString validNumber(int row) {
    return u"13800%1"_s.arg(row, 6, 10, QChar(u'0'));
}
QString validEntry(int row) {
    return u"用户%1,"_s.arg(row) + validNumber(row);
}

QStringList validList(int rows) {
    QStringList entries;
    for (int row = 0; row < rows; ++row) entries.append(validEntry(row));
    return entries;
}

// Rows 0 .. count - 1.
std::vector<int> firstRows(int count) {
    std::vector<int> rows;
    for (int row = 0; row < count; ++row) rows.push_back(row);
    return rows;
}

QString joinedNumbers(const std::vector<int>& rows) {
    QStringList numbers;
    for (int row : rows) numbers.append(validNumber(row));
    return numbers.join(u',');
}

std::vector<bool> picks(qsizetype rows, const std::vector<int>& picked) {
    std::vector<bool> flags(static_cast<size_t>(rows), false);
    for (int row : picked) flags[static_cast<size_t>(row)] = true;
    return flags;
}

struct WalkCase {
    const char* name;
    QStringList entries;
    std::vector<int> picked;
    int currentRow;
    WalkRejection rejection;
    std::vector<int> deselect;
    std::optional<QString> text;
    int count;
};
void PrintTo(const WalkCase& c, std::ostream* out) {
    *out << c.name;
}

class SelectionWalkTest : public ::testing::TestWithParam<WalkCase> {};

TEST_P(SelectionWalkTest, BuildsFieldAndCount) {
    const WalkCase& c = GetParam();
    const SelectionOutcome outcome =
        runSelectionWalk(c.entries, picks(c.entries.size(), c.picked), c.currentRow);
    EXPECT_EQ(outcome.rejection, c.rejection);
    EXPECT_EQ(outcome.deselect, c.deselect);
    EXPECT_EQ(outcome.recipientText, c.text);
    EXPECT_EQ(outcome.selectedCount, c.count);
}

const QString Bad = u"错号,12306012345"_s;

using R = WalkRejection;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Lists, SelectionWalkTest, ::testing::Values(
    // What clicks in the window cannot reach (tests/app/selection_test.cpp has the rest).
    // name, entries, picked rows, current row, message, cleared picks, field, count
    WalkCase{"EmptyList", {}, {}, -1, R::None, {}, std::nullopt, 0},
    // The clicked entry is fine, but a rejecting entry below it was picked by the program:
    // the click is taken back and the silent rebuild drops the rejecting entry as well.
    WalkCase{"ClickAboveRejectingPick", {validEntry(0), validEntry(1), Bad, validEntry(3)},
             {0, 1, 2, 3}, 1, R::WrongOperator, {1, 2}, joinedNumbers({0, 3}), 2},
    WalkCase{"RebuildAcceptsNothing", {validEntry(0), Bad}, {0, 1}, 0, R::WrongOperator, {0, 1},
             std::nullopt, 0},
    WalkCase{"NoCurrentRow", {Bad, validEntry(1)}, {0, 1}, -1, R::WrongOperator, {0},
             joinedNumbers({1}), 1},
    WalkCase{"CurrentRowOutOfRange", {Bad, validEntry(1)}, {0, 1}, 7, R::WrongOperator, {0},
             joinedNumbers({1}), 1},
    WalkCase{"CurrentRowUnpicked", {validEntry(0), Bad, validEntry(2)}, {1, 2}, 0,
             R::WrongOperator, {1}, joinedNumbers({2}), 1},
    WalkCase{"TwelvePickedWithoutCurrent", validList(12), firstRows(12), -1, R::Limit, {10, 11},
             joinedNumbers(firstRows(10)), 10}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(SelectionWalk, FullListUsesRowsNearTheEnd) {
    QStringList entries = validList(MaxListEntries);
    const std::vector<int> picked = {0, 5, 100, 4000, 16000, 20000, 30000, 32000, 32765, 32766};
    SelectionOutcome outcome =
        runSelectionWalk(entries, picks(entries.size(), picked), MaxListEntries - 1);
    EXPECT_EQ(outcome.rejection, WalkRejection::None);
    EXPECT_EQ(outcome.selectedCount, 10);
    EXPECT_EQ(outcome.recipientText,
              joinedNumbers({0, 5, 100, 4000, 16000, 20000, 30000, 32000, 32765, 32766}));

    // An eleventh pick in the middle is taken back and the ten others stay in the field.
    std::vector<bool> flags = picks(entries.size(), picked);
    flags[10000] = true;
    outcome = runSelectionWalk(entries, flags, 10000);
    EXPECT_EQ(outcome.rejection, WalkRejection::Limit);
    EXPECT_EQ(outcome.deselect, std::vector<int>{10000});
    EXPECT_EQ(outcome.recipientText,
              joinedNumbers({0, 5, 100, 4000, 16000, 20000, 30000, 32000, 32765, 32766}));
}

TEST(SelectionWalk, FlagsShorterOrLongerThanTheList) {
    const QStringList entries = validList(3);
    const struct {
        std::vector<bool> flags;
        std::optional<QString> text;
    } cases[] = {
        {{true}, joinedNumbers({0})},
        {{false, true, true, true, true}, joinedNumbers({1, 2})},
        {{}, std::nullopt},
    };
    for (const auto& c : cases) {
        const SelectionOutcome outcome = runSelectionWalk(entries, c.flags, 0);
        EXPECT_EQ(outcome.recipientText, c.text);
    }
}

}  // namespace
}  // namespace zelvo::recipients
