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
const QString kEdited = QStringLiteral(
    "; mine\n[usermsg]\nuser = 13806012345@139.com\nPassword=\" 密码 \"\n[PHONE]\n"
    "0=李三,13806012345\n1=王五,13906054321\ntotal = 1\n");
const QString kLi = QStringLiteral("李三,13806012345");
const QString kWang = QStringLiteral("王五,13906054321");
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
const char* kFeedback = "url http://127.0.0.1:9/feedback";
const char* kRegister = "url http://127.0.0.1:9/register";
const char* kEditor = "editor %D/set.ini";

// Clicks 取消 on the import's progress dialog once it shows, after checking it names the book.
void stopImportOnceItShows(QWidget* window) {
    auto* poll = new QTimer(window);
    QObject::connect(poll, &QTimer::timeout, poll, [poll] {
        auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        EXPECT_EQ(dialog->labelText(), QStringLiteral("正在导入电话本 book.txt ..."));
        for (auto* button : dialog->findChildren<QPushButton*>()) {
            if (button->text() == QStringLiteral("取消")) QTest::mouseClick(button, Qt::LeftButton);
        }
        poll->deleteLater();
    });
    poll->start(0);
}

// What set.ini holds after a command.
enum class FileAfter { AsEdited, Saved, Missing };

struct CommandRow {
    const char* name;
    int startPage = 1;
    bool editAccount = false;     // the account is changed in the window first
    bool removeSettings = false;  // set.ini is deleted first
    QByteArray book = kBook;      // book.txt
    bool stopImport = false;      // 取消 on the import's progress dialog once it shows
    bool deleteKey = false;       // Delete pressed in the number list
    // Actions triggered or controls clicked, by their object names; then the title bar's close
    // button when asked.
    std::vector<const char*> steps = {};
    bool closeFromTitleBar = false;
    QStringList answers = {};
    QStringList log = {};
    QStringList list = {kLi, kWang};
    bool pickKept = true;
    FileAfter file = FileAfter::AsEdited;
    int page = 1;
};

class CommandTest : public WindowTest {
protected:
    void run(const CommandRow& row) {
        if (row.editAccount) accountEdit()->setText(QStringLiteral("changed@139.com"));
        if (row.removeSettings) QFile::remove(settingsPath());
        if (row.stopImport) stopImportOnceItShows(window.get());
        tabs()->setCurrentIndex(row.startPage);
        for (const char* step : row.steps) {
            QObject* object = window->findChild<QObject*>(QString::fromLatin1(step));
            if (auto* action = qobject_cast<QAction*>(object)) {
                action->trigger();
            } else if (auto* widget = qobject_cast<QWidget*>(object)) {
                QTest::mouseClick(widget, Qt::LeftButton);
            } else {
                ADD_FAILURE() << "no such control " << step;
            }
        }
        if (row.deleteKey) QTest::keyClick(numberList(), Qt::Key_Delete);
        if (row.closeFromTitleBar) window->windowHandle()->close();
    }
};

TEST_F(CommandTest, EachCommandShowsItsDialogsAndLeavesListAndFileAsItShould) {
    const QString kNoEntry = QStringLiteral(
        "box 提示: 电话本文件 %D/book.txt 中没有 名字,号码 格式的行(如 李三,13806012345), "
        "号码列表没有改变.");
    const QStringList imported = {"a,1", "b,2"};
    using enum FileAfter;
    // clang-format off
    const CommandRow rows[] = {
        {.name = "SaveButton", .steps = {"saveButton"}, .answers = {"ok"}, .log = {kSaved}, .file = Saved},
        {.name = "SaveMenuAnsweredCancel", .editAccount = true, .steps = {"saveAction"}, .answers = {"cancel"}, .log = {kSaved}, .file = Saved},
        {.name = "AddNumber", .steps = {"addNumberAction"}, .answers = {"input 李三,13806012345", "ok"}, .log = {kAsk, "box plain 添加提示: 添加 李三,13806012345 成功"}, .list = {kLi, kWang, kLi}, .file = Saved},
        {.name = "AddNumberWithoutComma", .steps = {"addNumberAction"}, .answers = {"input 13806012345", "ok"}, .log = {kAsk, "box plain 添加提示: 添加 13806012345 失败 格式错误."}},
        {.name = "AddNumberCancelled", .steps = {"addNumberAction"}, .answers = {"input "}, .log = {kAsk}},
        {.name = "DeleteCancelled", .steps = {"deleteNumbersAction"}, .answers = {"cancel"}, .log = {kDelete}},
        {.name = "DeletePicked", .steps = {"deleteNumbersAction"}, .answers = {"ok"}, .log = {kDelete}, .list = {kLi}, .pickKept = false, .file = Saved},
        {.name = "DeleteKey", .deleteKey = true, .answers = {"ok"}, .log = {kDelete}, .list = {kLi}, .pickKept = false, .file = Saved},
        {.name = "DeleteNothingPicked", .steps = {"clearListAction", "deleteNumbersAction"}, .answers = {"ok", "ok"}, .log = {kClear, "box 提示: 没有选择号码: 请先在号码列表中点击要删除的号码."}, .list = {}, .pickKept = false, .file = Saved},
        {.name = "ClearCancelled", .steps = {"clearListAction"}, .answers = {"cancel"}, .log = {kClear}},
        {.name = "Clear", .steps = {"clearListAction"}, .answers = {"ok"}, .log = {kClear}, .list = {}, .pickKept = false, .file = Saved},
        {.name = "ImportButtonDoesNotSave", .steps = {"importButton"}, .answers = {"file %D/book.txt"}, .log = {kOpen}, .list = imported, .pickKept = false},
        {.name = "ImportMenuSaves", .steps = {"importAction"}, .answers = {"file %D/book.txt"}, .log = {kOpen}, .list = imported, .pickKept = false, .file = Saved},
        {.name = "ImportVCard", .book = gbk("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:张三\r\nTEL;TYPE=CELL:+86-138-0601-2345\r\nEND:VCARD\r\n"), .steps = {"importButton"}, .answers = {"file %D/book.txt"}, .log = {kOpen}, .list = {"张三,13806012345"}, .pickKept = false},
        {.name = "ImportButtonCancelled", .steps = {"importButton"}, .answers = {"file "}, .log = {kOpen}},
        {.name = "ImportMenuCancelledStillSaves", .steps = {"importAction"}, .answers = {"file "}, .log = {kOpen}, .file = Saved},
        {.name = "ImportMenuRefusedStillSaves", .editAccount = true, .steps = {"importAction"}, .answers = {"file %D/none.txt", "ok"}, .log = {kOpen, "box 提示: 找不到电话本文件 %D/none.txt, 号码列表没有改变."}, .file = Saved},
        {.name = "ImportWithoutEntrySavesNothing", .editAccount = true, .book = gbk("a1\r\nb2\r\n\r\n"), .steps = {"importAction"}, .answers = {"file %D/book.txt", "ok"}, .log = {kOpen, kNoEntry}},
        {.name = "ImportMenuStoppedSavesNothing", .book = QByteArray("c,1\r\n").repeated(1 << 20), .stopImport = true, .steps = {"importAction"}, .answers = {"file %D/book.txt"}, .log = {kOpen}},
        {.name = "ViewFile", .steps = {"viewPhoneBookAction"}, .answers = {"opens"}, .log = {kEditor}},
        {.name = "ViewWithoutEditor", .steps = {"viewPhoneBookAction"}, .answers = {"fails", "ok"}, .log = {kEditor, "box 提示: 无法打开文本编辑器, 请自行打开文件 %D/set.ini"}},
        {.name = "SendRecordMissing", .steps = {"sendRecordAction"}, .answers = {"ok"}, .log = {"box 提示: 还没有发送记录. 每次发送短信后, 发送记录都会写入 %D/sent.log"}},
        {.name = "ViewMissingFile", .removeSettings = true, .steps = {"viewPhoneBookAction"}, .answers = {"ok"}, .log = {"box 提示: 找不到电话本文件,可能你未保存或丢失."}, .file = Missing},
        {.name = "About", .startPage = 2, .steps = {"aboutAction"}, .page = 0},
        {.name = "Notices", .startPage = 0, .steps = {"noticesAction"}, .page = 2},
        {.name = "FeedbackKeepsThePage", .startPage = 2, .steps = {"feedbackAction"}, .answers = {"opens"}, .log = {kFeedback}, .page = 2},
        {.name = "FeedbackLink", .startPage = 0, .steps = {"feedbackLink"}, .answers = {"opens"}, .log = {kFeedback}, .page = 0},
        {.name = "RegistrationLink", .steps = {"registrationLink"}, .answers = {"opens"}, .log = {kRegister}},
        {.name = "NoBrowser", .steps = {"registrationLink"}, .answers = {"fails", "ok"}, .log = {kRegister, "box 提示: 无法打开网页 http://127.0.0.1:9/register, 请在浏览器中手动打开."}},
        {.name = "InformationLinesAreNoLinks", .startPage = 0, .steps = {"homepageLabel", "mailLabel", "titleLabel", "pictureLabel"}, .page = 0},
        {.name = "ExitButtonCancelled", .steps = {"exitButton"}, .answers = {"cancel"}, .log = {kQuit}},
        {.name = "TitleBarCancelled", .closeFromTitleBar = true, .answers = {"cancel"}, .log = {kQuit}},
        {.name = "ExitMenu", .editAccount = true, .steps = {"exitAction"}, .answers = {"ok", "opens", "end"}, .log = {kQuit, kHome, "end"}},
        {.name = "ExitButton", .steps = {"exitButton"}, .answers = {"ok", "opens", "end"}, .log = {kQuit, kHome, "end"}},
        {.name = "TitleBar", .editAccount = true, .closeFromTitleBar = true, .answers = {"ok", "opens", "end"}, .log = {kQuit, kHome, "end"}},
        {.name = "ExitWithoutBrowser", .steps = {"exitButton"}, .answers = {"ok", "fails", "end"}, .log = {kQuit, kHome, "end"}},
    };
    // clang-format on
    config.importProgressDelay = std::chrono::milliseconds(0);  // every import shows progress
    for (const CommandRow& row : rows) {
        SCOPED_TRACE(row.name);
        reset();
        const QByteArray edited = gbk(kEdited);
        writeFile(settingsPath(), edited);
        writeFile(path("book.txt"), row.book);
        open();
        clickEntry(1);
        QStringList answers = row.answers, log = row.log;
        answers.replaceInStrings("%D", folder->path());
        for (QString& line : log) {
            const bool box = line.startsWith(u"box") && line.contains(u"%D");
            line.replace("%D", folder->path());
            if (box) line = QDir::toNativeSeparators(line);  // as the system writes paths
        }
        platform->script(answers);
        run(row);

        EXPECT_EQ(platform->log(), log);
        EXPECT_EQ(textsOf(numberList()->entries()), row.list);
        const auto picks = numberList()->picks();
        EXPECT_EQ(std::count(picks.begin(), picks.end(), true), row.pickKept ? 1 : 0);
        EXPECT_EQ(recipientsEdit()->text(), QStringLiteral("13906054321"));
        EXPECT_EQ(window->selectedCount(), 1);
        EXPECT_EQ(tabs()->currentIndex(), row.page);
        EXPECT_EQ(window->isVisible(), !log.endsWith("end"));
        const QByteArray file = row.file == AsEdited ? edited
                                : row.file == Saved  ? savedBytes(accountEdit()->text(), row.list)
                                                     : "<unreadable>";
        EXPECT_EQ(readFile(settingsPath()), file);
    }
}

// Addresses the build leaves empty lead nowhere: no homepage or mail line on the about page, no
// browser at exit, and the feedback link shows the bundled page's section on reporting a problem.
TEST_F(CommandTest, EmptyAddressesLeadNowhere) {
    config.homepageUrl = config.feedbackUrl = config.contactMail = QString();
    open();
    EXPECT_FALSE(control("homepageLabel")->isVisibleTo(window.get()));
    EXPECT_FALSE(control("mailLabel")->isVisibleTo(window.get()));
    platform->script({"ok", "end"});
    run({.name = "FeedbackThenExit", .startPage = 0, .steps = {"feedbackLink", "exitAction"}});
    EXPECT_EQ(platform->log(), QStringList({kQuit, "end"}));
    EXPECT_EQ(tabs()->currentIndex(), 2);
    EXPECT_EQ(noticesView()->source(), QUrl("qrc:/info/notices.html#report"));
}

TEST_F(CommandTest, FullListTakesNoMoreAndSaysHowManyWereLeftOut) {
    QByteArray book;
    for (int i = 0; i < 40000; ++i)
        book += gbk(QStringLiteral("用户%1,138%2\r\n").arg(i).arg(i, 8, 10, QLatin1Char('0')));
    writeFile(path("book.txt"), book);
    open();
    platform->script({"file " + path("book.txt"), "ok", "input 李三,13806012345", "ok"});
    run({.name = "ImportThenAdd", .steps = {"importAction", "addNumberAction"}});
    EXPECT_EQ(
        platform->log().mid(1),
        QStringList(
            {"box 提示: 号码列表最多容纳 32767 个号码, 电话本中另有 7233 个号码没有导入.", kAsk,
             "box plain 添加提示: 添加 李三,13806012345 失败 号码列表已满(最多 32767 个号码)."}));
    EXPECT_EQ(numberList()->count(), 32767);
    const QStringList entries = textsOf(numberList()->entries());
    EXPECT_EQ(entries.last(), QStringLiteral("用户32766,13800032766"));
    EXPECT_EQ(savedEntries(folder->path()), entries);
}

}  // namespace
}  // namespace zelvo::testing
