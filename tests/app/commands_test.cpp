// The menu commands, the buttons and links that share their handlers, and the dialogs they
// open: each row runs from the same saved account and list, with the second entry picked.
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include "window_fixture.h"

namespace zelvo::testing {
namespace {

// set.ini as a user might have edited it; any save rewrites it in the program's own form.
const QByteArray kEdited =
    gbk("; mine\n[usermsg]\nuser = 13806012345@139.com\nPassword=\" 密码 \"\n[PHONE]\n"
        "0=李三,13806012345\n1=王五,13906054321\ntotal = 1\n");
// The phone book the import reads: two entries between lines it skips.
const QByteArray kBook = gbk("a,1\r\nno comma\r\nb，2\r\n");

// The file the program writes for this account and list.
QByteArray savedBytes(const QString& user, const QStringList& entries) {
    QString text = "[UserMsg]\r\nUser=" + user + "\r\nPassword=\" 密码 \"\r\n[Phone]\r\n";
    for (int i = 0; i < entries.size(); ++i)
        text += QStringLiteral("%1=%2\r\n").arg(i).arg(entries[i]);
    return gbk(text + QStringLiteral("total=%1\r\n").arg(entries.size() - 1));
}

const char* kAsk =
    "input 手动添加号码: 请输入姓名及移动手机号码,格式： 李三,13806012345 [李三,13806012345]";
const char* kSaved = "ask 提示: 保存设置成功";
const char* kOpen =
    "open 文本文件 (*.txt);;vCard 联系人 (*.vcf *.vcard);;CSV 联系人 (*.csv);;所有文件 (*) in %D";
const char* kClear = "ask 提示: 您确定要清空电话列表吗?";
const char* kDelete = "ask 提示: 您确定要删除所选的号码吗?\n\n王五,13906054321";
const char* kQuit = "ask 退出提示: 您确定要退出程序吗?";
const char* kHome = "url http://127.0.0.1:9/home";

// Clicks 取消 on the import's progress dialog once it shows, after checking it names the book.
void stopImportOnceItShows(QWidget* window) {
    auto* poll = new QTimer(window);
    QObject::connect(poll, &QTimer::timeout, poll, [poll] {
        if (auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget())) {
            EXPECT_EQ(dialog->labelText(), QStringLiteral("正在导入电话本 book.txt ..."));
            auto* cancel = dialog->findChild<QPushButton*>();  // the dialog's only button
            EXPECT_EQ(cancel->text(), QStringLiteral("取消"));
            QTest::mouseClick(cancel, Qt::LeftButton);
            poll->deleteLater();
        }
    });
    poll->start(0);
}

struct CommandRow {
    const char* name;
    int startPage = 1;
    bool editAccount = false;     // the account is changed in the window first
    bool removeSettings = false;  // set.ini is deleted first
    // A file placed at placedAt as make says (see place()): the phone book, or a send record.
    QByteArray book = kBook;
    const char *make = "", *placedAt = "book.txt";
    bool stopImport = false;  // 取消 on the import's progress dialog once it shows
    bool deleteKey = false;   // Delete pressed in the number list
    // Actions triggered or controls clicked, by their object names; then the title bar's close
    // button when asked.
    std::vector<const char*> steps = {};
    bool closeFromTitleBar = false;
    QStringList answers = {};
    QStringList log = {};
    QStringList list = {kLi, kWang};
    bool pickKept = true;
    bool saved = false;  // set.ini is rewritten in the program's own form; else kept as edited
    int page = 1;
};

void PrintTo(const CommandRow& row, std::ostream* out) {
    *out << row.name;
}

std::vector<CommandRow> commandRows() {
    const QString kNoEntry = QStringLiteral(
        "box 提示: 电话本文件 %D/book.txt 中没有 名字,号码 格式的行(如 李三,13806012345), "
        "号码列表没有改变.");
    const QString kNoBook = QStringLiteral("box 提示: 找不到电话本文件 %D/%1, 号码列表没有改变.");
    const QByteArray binary = QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16) + gbk("\r\n" + kLi);
    const QStringList imported = {"a,1", "b,2"};
    // A book of more entries than the list holds: the import takes what fits, says how many were
    // left out, and an entry added then is refused.
    QStringList many;
    for (int i = 0; i < 40000; ++i)
        many << QStringLiteral("用户%1,138%2").arg(i).arg(i, 8, 10, QLatin1Char('0'));
    const QString kFull =
        "box 提示: 号码列表最多容纳 32767 个号码, 电话本中另有 7233 个号码没有导入.";
    const QString kNoRoom =
        "box plain 添加提示: 添加 李三,13806012345 失败 号码列表已满(最多 32767 个号码).";
    // clang-format off
    return {
        {.name = "SaveButton", .steps = {"saveButton"}, .answers = {"ok"}, .log = {kSaved}, .saved = true},
        {.name = "SaveMenuAnsweredCancel", .editAccount = true, .steps = {"saveAction"}, .answers = {"cancel"}, .log = {kSaved}, .saved = true},
        {.name = "AddNumber", .steps = {"addNumberAction"}, .answers = {"input 李三,13806012345", "ok"}, .log = {kAsk, "box plain 添加提示: 添加 李三,13806012345 成功"}, .list = {kLi, kWang, kLi}, .saved = true},
        {.name = "AddNumberCancelled", .steps = {"addNumberAction"}, .answers = {"input "}, .log = {kAsk}},
        {.name = "DeleteCancelled", .steps = {"deleteNumbersAction"}, .answers = {"cancel"}, .log = {kDelete}},
        {.name = "DeletePicked", .steps = {"deleteNumbersAction"}, .answers = {"ok"}, .log = {kDelete}, .list = {kLi}, .pickKept = false, .saved = true},
        {.name = "DeleteKey", .deleteKey = true, .answers = {"ok"}, .log = {kDelete}, .list = {kLi}, .pickKept = false, .saved = true},
        {.name = "DeleteNothingPicked", .steps = {"clearListAction", "deleteNumbersAction"}, .answers = {"ok", "ok"}, .log = {kClear, "box 提示: 没有选择号码: 请先在号码列表中点击要删除的号码."}, .list = {}, .pickKept = false, .saved = true},
        {.name = "ClearCancelled", .steps = {"clearListAction"}, .answers = {"cancel"}, .log = {kClear}},
        {.name = "Clear", .steps = {"clearListAction"}, .answers = {"ok"}, .log = {kClear}, .list = {}, .pickKept = false, .saved = true},
        {.name = "ImportButtonDoesNotSave", .steps = {"importButton"}, .answers = {"file %D/book.txt"}, .log = {kOpen}, .list = imported, .pickKept = false},
        {.name = "ImportMenuSaves", .steps = {"importAction"}, .answers = {"file %D/book.txt"}, .log = {kOpen}, .list = imported, .pickKept = false, .saved = true},
        {.name = "ImportVCard", .book = gbk("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:张三\r\nTEL;TYPE=CELL:+86-138-0601-2345\r\nEND:VCARD\r\n"), .steps = {"importButton"}, .answers = {"file %D/book.txt"}, .log = {kOpen}, .list = {"张三,13806012345"}, .pickKept = false},
        {.name = "ImportButtonCancelled", .steps = {"importButton"}, .answers = {"file "}, .log = {kOpen}},
        {.name = "ImportMenuCancelledStillSaves", .steps = {"importAction"}, .answers = {"file "}, .log = {kOpen}, .saved = true},
        // A refused book leaves the list as it was; the menu entry saves all the same.
        {.name = "ImportMenuRefusedStillSaves", .editAccount = true, .steps = {"importAction"}, .answers = {"file %D/none.txt", "ok"}, .log = {kOpen, kNoBook.arg("none.txt")}, .saved = true},
        {.name = "ImportBinary", .book = binary, .steps = {"importAction"}, .answers = {"file %D/book.txt", "ok"}, .log = {kOpen, "box 提示: %D/book.txt 不是文本文件。 号码列表没有改变."}, .saved = true},
        {.name = "ImportFolder", .make = "dir", .steps = {"importAction"}, .answers = {"file %D/book.txt", "ok"}, .log = {kOpen, kNoBook.arg("book.txt")}, .saved = true},
        {.name = "ImportHidden", .placedAt = ".book.txt", .steps = {"importAction"}, .answers = {"file %D/.book.txt", "ok"}, .log = {kOpen, kNoBook.arg(".book.txt")}, .saved = true},
        {.name = "ImportPastTheLimitThenAdd", .book = gbk(many.join("\r\n")), .steps = {"importAction", "addNumberAction"}, .answers = {"file %D/book.txt", "ok", "input 李三,13806012345", "ok"}, .log = {kOpen, kFull, kAsk, kNoRoom}, .list = many.mid(0, 32767), .pickKept = false, .saved = true},
        {.name = "ImportWithoutEntrySavesNothing", .editAccount = true, .book = gbk("a1\r\nb2\r\n\r\n"), .steps = {"importAction"}, .answers = {"file %D/book.txt", "ok"}, .log = {kOpen, kNoEntry}},
        {.name = "ImportMenuStoppedSavesNothing", .book = QByteArray("c,1\r\n").repeated(1 << 20), .stopImport = true, .steps = {"importAction"}, .answers = {"file %D/book.txt"}, .log = {kOpen}},
        {.name = "ViewFile", .steps = {"viewPhoneBookAction"}, .answers = {"opens"}, .log = {"editor %D/set.ini"}},
        {.name = "ViewWithoutEditor", .steps = {"viewPhoneBookAction"}, .answers = {"fails", "ok"}, .log = {"editor %D/set.ini", "box 提示: 无法打开文本编辑器, 请自行打开文件 %D/set.ini"}},
        {.name = "SendRecord", .placedAt = "sent.log", .steps = {"sendRecordAction"}, .answers = {"opens"}, .log = {"editor %D/sent.log"}},
        {.name = "SendRecordMissing", .steps = {"sendRecordAction"}, .answers = {"ok"}, .log = {"box 提示: 还没有发送记录. 每次发送短信后, 发送记录都会写入 %D/sent.log"}},
        {.name = "ViewMissingFile", .removeSettings = true, .steps = {"viewPhoneBookAction"}, .answers = {"ok"}, .log = {"box 提示: 找不到电话本文件,可能你未保存或丢失."}},
        {.name = "About", .startPage = 2, .steps = {"aboutAction"}, .page = 0},
        {.name = "FeedbackKeepsThePage", .startPage = 2, .steps = {"feedbackAction"}, .answers = {"opens"}, .log = {"url http://127.0.0.1:9/feedback"}, .page = 2},
        {.name = "FeedbackLink", .startPage = 0, .steps = {"feedbackLink"}, .answers = {"opens"}, .log = {"url http://127.0.0.1:9/feedback"}, .page = 0},
        {.name = "RegistrationLink", .steps = {"registrationLink"}, .answers = {"opens"}, .log = {"url http://127.0.0.1:9/register"}},
        {.name = "NoBrowser", .steps = {"registrationLink"}, .answers = {"fails", "ok"}, .log = {"url http://127.0.0.1:9/register", "box 提示: 无法打开网页 http://127.0.0.1:9/register, 请在浏览器中手动打开."}},
        {.name = "InformationLinesAreNoLinks", .startPage = 0, .steps = {"homepageLabel", "mailLabel", "titleLabel", "pictureLabel"}, .page = 0},
        {.name = "ExitButtonCancelled", .steps = {"exitButton"}, .answers = {"cancel"}, .log = {kQuit}},
        {.name = "TitleBarCancelled", .closeFromTitleBar = true, .answers = {"cancel"}, .log = {kQuit}},
        {.name = "ExitMenu", .editAccount = true, .steps = {"exitAction"}, .answers = {"ok", "opens", "end"}, .log = {kQuit, kHome, "end"}},
        {.name = "ExitButton", .steps = {"exitButton"}, .answers = {"ok", "opens", "end"}, .log = {kQuit, kHome, "end"}},
        {.name = "TitleBar", .editAccount = true, .closeFromTitleBar = true, .answers = {"ok", "opens", "end"}, .log = {kQuit, kHome, "end"}},
        {.name = "ExitWithoutBrowser", .steps = {"exitButton"}, .answers = {"ok", "fails", "end"}, .log = {kQuit, kHome, "end"}},
    };
    // clang-format on
}

class CommandTest : public WindowTest, public ::testing::WithParamInterface<CommandRow> {};

TEST_P(CommandTest, ShowsItsDialogsAndLeavesListAndFileAsItShould) {
    const CommandRow& row = GetParam();
    if (const char* why = unplaceable(row.make)) GTEST_SKIP() << why;
#ifdef Q_OS_WIN
    if (row.placedAt[0] == '.') GTEST_SKIP() << "a leading dot hides a file on Unix alone";
#endif
    config.importProgressDelay = std::chrono::milliseconds(0);  // every import shows progress
    writeFile(settingsPath(), kEdited);
    ASSERT_TRUE(place(row.make, path(row.placedAt), row.book));
    open();
    clickEntry(1);
    QStringList answers = row.answers, log = row.log;
    answers.replaceInStrings("%D", folder->path());
    for (QString& line : log) {
        const bool box = line.startsWith(u"box") && line.contains(u"%D");
        line.replace("%D", folder->path());
        if (box) line = QDir::toNativeSeparators(line);  // as the system writes paths
    }
    desktop->script(answers);
    if (row.editAccount) accountEdit()->setText(QStringLiteral("changed@139.com"));
    if (row.removeSettings) QFile::remove(settingsPath());
    if (row.stopImport) stopImportOnceItShows(window.get());
    tabs()->setCurrentIndex(row.startPage);
    for (const char* step : row.steps) {
        QObject* object = window->findChild<QObject*>(QString::fromLatin1(step));
        ASSERT_NE(object, nullptr) << step;
        if (auto* action = qobject_cast<QAction*>(object))
            action->trigger();
        else
            QTest::mouseClick(qobject_cast<QWidget*>(object), Qt::LeftButton);
    }
    if (row.deleteKey) QTest::keyClick(numberList(), Qt::Key_Delete);
    if (row.closeFromTitleBar) window->windowHandle()->close();

    EXPECT_EQ(desktop->log(), log);
    // The second entry's number stays in the recipient field whatever happens to the list.
    const auto picks = numberList()->picks();
    EXPECT_EQ(std::tuple(textsOf(numberList()->entries()), std::ranges::count(picks, true),
                         recipientsEdit()->text(), selectedCount(), tabs()->currentIndex(),
                         window->isVisible()),
              std::tuple(row.list, row.pickKept ? 1 : 0, QStringLiteral("13906054321"), 1, row.page,
                         !log.endsWith("end")));
    const QByteArray file = row.removeSettings ? "<unreadable>"
                            : row.saved        ? savedBytes(accountEdit()->text(), row.list)
                                               : kEdited;
    EXPECT_EQ(readFile(settingsPath()), file);
}

INSTANTIATE_TEST_SUITE_P(Commands, CommandTest, ::testing::ValuesIn(commandRows()),
                         [](const auto& info) { return std::string(info.param.name); });

// Addresses the build leaves empty lead nowhere: no homepage or mail line on the about page, no
// browser at exit. The feedback link's stand-in is on the notices page's table.
TEST_F(WindowTest, EmptyAddressesLeadNowhere) {
    config.homepageUrl = config.contactMail = QString();
    open();
    EXPECT_FALSE(control("homepageLabel")->isVisibleTo(window.get()));
    EXPECT_FALSE(control("mailLabel")->isVisibleTo(window.get()));
    desktop->script({"ok", "end"});
    trigger("exitAction");
    EXPECT_EQ(desktop->log(), QStringList({kQuit, "end"}));
}

}  // namespace
}  // namespace zelvo::testing
