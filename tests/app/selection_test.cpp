#include "window_fixture.h"

namespace zelvo::testing {
namespace {

using Kind = ScriptedPlatform::Kind;

const QString kLimit = QStringLiteral("您选择的电话号码已达到上限。");
const QString kOperator = QStringLiteral("您选择的电话号码错误,它不是移动号码。");
const QString kLength = QStringLiteral("您选择的电话号码错误,它不是手机号码。");

struct WalkCase {
    const char* name;
    QStringList entries;
    std::vector<int> clicks;  // rows clicked, in order
    QString initialSubject;   // text of the field before the clicks
    QString subject;          // field afterwards
    int count;                // SelectedCount afterwards
    std::vector<int> picked;  // rows picked afterwards
    QStringList messages;     // boxes shown, in order
};

// Parameterised test names show the case name, not the bytes of the case.
void PrintTo(const WalkCase& c, std::ostream* os) {
    *os << c.name;
}

QStringList numbered(int n, const QString& prefix = QStringLiteral("138060100")) {
    QStringList entries;
    for (int i = 0; i < n; ++i) {
        entries << QStringLiteral("n%1,%2%3").arg(i).arg(prefix).arg(i, 2, 10, QLatin1Char('0'));
    }
    return entries;
}

QString joinedNumbers(const QStringList& entries, const std::vector<int>& rows) {
    QStringList numbers;
    for (int row : rows) {
        numbers << entries[row].section(QLatin1Char(','), 1).left(11);
    }
    return numbers.join(QLatin1Char(','));
}

std::vector<WalkCase> walkCases() {
    const QStringList sample = {QStringLiteral("李三,13806012345")};
    std::vector<WalkCase> cases = {
        {"Sample", sample, {0}, "", "13806012345", 1, {0}, {}},
        {"ListOrderNotClickOrder",
         {"a,13806012341", "b,13806012342", "c,13806012343", "d,13806012344", "e,13806012345"},
         {4, 1},
         "",
         "13806012342,13806012345",
         2,
         {1, 4},
         {}},
        {"MiddleDeselected",
         {"a,13806012341", "b,13906012342", "c,15006012343"},
         {0, 1, 2, 1},
         "",
         "13806012341,15006012343",
         2,
         {0, 2},
         {}},
        {"OnlyPickDeselectedKeepsField", sample, {0, 0}, "", "13806012345", 0, {}, {}},
        {"DigitsWithoutComma", {"13806012345"}, {0}, "", "13806012345", 1, {0}, {}},
        {"ExtraDigitsIgnored", {"李三,1380601234599"}, {0}, "", "13806012345", 1, {0}, {}},
        {"ShortNumberWithGoodPrefix", {"x,1380601"}, {0}, "old", "old", 0, {}, {kLength}},
        {"ForeignPrefix", {"x,12306012345"}, {0}, "old", "old", 0, {}, {kOperator}},
        {"EmptyNumber", {"x,"}, {0}, "", "", 0, {}, {kOperator}},
        {"FullWidthComma", {QStringLiteral("李三，13806012345")}, {0}, "", "", 0, {}, {kOperator}},
        {"LettersAfterPrefix", {"x,135abcdefgh"}, {0}, "", "135abcdefgh", 1, {0}, {}},
        {"PrefixBeforeLength", {"x,1231"}, {0}, "", "", 0, {}, {kOperator}},
        {"RejectionKeepsEarlierPicks",
         {"a,13806012341", "b,12306012342"},
         {0, 1},
         "",
         "13806012341",
         1,
         {0},
         {kOperator}},
        {"RejectionKeepsLaterPicks",
         {"a,12306012341", "b,13806012342"},
         {1, 0},
         "",
         "13806012342",
         1,
         {1},
         {kOperator}},
    };

    // The limit: ten picks are accepted; an eleventh is refused wherever it lies.
    const QStringList twelve = numbered(12);
    std::vector<int> firstTen = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    cases.push_back(
        {"TenAccepted", twelve, firstTen, "", joinedNumbers(twelve, firstTen), 10, firstTen, {}});
    std::vector<int> clicksBelow = firstTen;
    clicksBelow.push_back(11);
    cases.push_back({"EleventhBelowAll",
                     twelve,
                     clicksBelow,
                     "",
                     joinedNumbers(twelve, firstTen),
                     10,
                     firstTen,
                     {kLimit}});
    std::vector<int> upperTen = {2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    std::vector<int> clicksAbove = upperTen;
    clicksAbove.push_back(0);
    cases.push_back({"EleventhAboveSome",
                     twelve,
                     clicksAbove,
                     "",
                     joinedNumbers(twelve, upperTen),
                     10,
                     upperTen,
                     {kLimit}});
    return cases;
}

class SelectionWalkTest : public WindowTest, public ::testing::WithParamInterface<WalkCase> {};

TEST_P(SelectionWalkTest, ClicksOnTheListBuildTheRecipientField) {
    const WalkCase& c = GetParam();
    open();
    window->lstphone->setEntries(c.entries);
    window->txtSubject->setText(c.initialSubject);
    for (int i = 0; i < c.messages.size(); ++i) {
        platform->expectMsgBox();
    }
    for (int row : c.clicks) {
        clickEntry(row);
    }
    EXPECT_EQ(window->txtSubject->text(), c.subject);
    EXPECT_EQ(window->SelectedCount, c.count);
    std::vector<int> picked;
    for (int row = 0; row < window->lstphone->count(); ++row) {
        if (window->lstphone->isPicked(row)) {
            picked.push_back(row);
        }
    }
    EXPECT_EQ(picked, c.picked);
    QStringList shown;
    for (const auto& call : platform->callsOf(Kind::MsgBox)) {
        shown << call.text;
        EXPECT_EQ(call.title, QStringLiteral("错误提示"));
        EXPECT_EQ(call.style, 32);
    }
    EXPECT_EQ(shown, c.messages);
}

INSTANTIATE_TEST_SUITE_P(Cases, SelectionWalkTest, ::testing::ValuesIn(walkCases()),
                         [](const auto& info) { return std::string(info.param.name); });

using SelectionOrderTest = WindowTest;

TEST_F(SelectionOrderTest, LimitClearsThePickBeforeTheMessageOthersAfterIt) {
    open();
    QStringList entries = numbered(11);
    entries << QStringLiteral("bad,12306012345");
    window->lstphone->setEntries(entries);
    for (int row = 0; row < 10; ++row) {
        clickEntry(row);
    }
    platform->expectMsgBox(app::kAnswerOk, [&](const ScriptedPlatform::Call&) {
        EXPECT_FALSE(window->lstphone->isPicked(10));
        EXPECT_EQ(window->SelectedCount, 10);
    });
    clickEntry(10);

    for (int row = 0; row < 10; ++row) {  // make room
        clickEntry(row);
    }
    platform->expectMsgBox(app::kAnswerOk, [&](const ScriptedPlatform::Call&) {
        EXPECT_TRUE(window->lstphone->isPicked(11));
    });
    clickEntry(11);
    EXPECT_FALSE(window->lstphone->isPicked(11));
}

TEST_F(SelectionOrderTest, OneClickTogglesOnlyThatEntryAndSpaceDoesTheSame) {
    open();
    window->lstphone->setEntries(numbered(4));
    clickEntry(1);
    clickEntry(3);
    EXPECT_EQ(window->lstphone->picks(), std::vector<bool>({false, true, false, true}));
    clickEntry(1);
    EXPECT_EQ(window->lstphone->picks(), std::vector<bool>({false, false, false, true}));
    EXPECT_EQ(window->txtSubject->text(), QStringLiteral("13806010003"));

    // Dragging across entries does not pick the ones passed over.
    QListView* list = window->lstphone;
    const QPoint from = list->visualRect(list->model()->index(0, 0)).center();
    const QPoint to = list->visualRect(list->model()->index(2, 0)).center();
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, list->viewport()->mapToGlobal(to), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &move);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, to);
    EXPECT_EQ(window->lstphone->picks(), std::vector<bool>({true, false, false, true}));

    // Select-all picks nothing; Space toggles the entry with the focus.
    list->setFocus();
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(window->lstphone->picks(), std::vector<bool>({true, false, false, true}));
    list->selectionModel()->setCurrentIndex(list->model()->index(2, 0),
                                            QItemSelectionModel::NoUpdate);
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(window->lstphone->picks(), std::vector<bool>({true, false, true, true}));
    EXPECT_EQ(window->txtSubject->text(), QStringLiteral("13806010000,13806010002,13806010003"));
    EXPECT_EQ(window->SelectedCount, 3);
}

}  // namespace
}  // namespace zelvo::testing
