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

// The file the program writes for this account and list.
QByteArray savedBytes(const QString& user, const QStringList& entries) {
    QString text = "[UserMsg]\r\nUser=" + user + "\r\nPassword=\" 密码 \"\r\n[Phone]\r\n";
    for (int i = 0; i < entries.size(); ++i)
        text += QStringLiteral("%1=%2\r\n").arg(i).arg(entries[i]);
    return gbk(text + QStringLiteral("total=%1\r\n").arg(entries.size() - 1));
}

const char* kAsk =
    "input 手动添加号码: 请输入姓名及移动手机号码,格式： 李三,13806012345 [李三,13806012345]";
const char* kSaved = "box ?okcancel 提示: 保存设置成功";
const char* kOpen =
    "open 文本文件 (*.txt);;vCard 联系人 (*.vcf *.vcard);;CSV 联系人 (*.csv);;所有文件 (*) in %D: ";
const char* kClear = "box ?okcancel 提示: 您确定要清空电话列表吗?";
const char* kDelete = "box ?okcancel 提示: 您确定要删除所选的号码吗?\n\n王五,13906054321";
const char* kQuit = "box ?okcancel 退出提示: 您确定要退出程序吗?";
const char* kHome = "start min: explorer.exe http://127.0.0.1:9/home";
const char* kFeedback = "start min: explorer.exe http://127.0.0.1:9/feedback";
const char* kRegister = "start min: explorer.exe http://127.0.0.1:9/register";
const char* kEditor = "start max: notepad.exe %D/set.ini";

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

class CommandTest : public WindowTest {
protected:
    // Steps: an action's name triggers it, a control's name clicks it; "pageN" shows page N,
    // "rm" deletes set.ini, "dirty" changes the account in the window, "close" closes the
    // window from its title bar, "bigbook" makes book.txt a few megabytes long, "book=a|b"
    // writes it in GBK with the lines a and b, "stop" clicks 取消 on the import's progress
    // dialog once it shows, "delkey" presses Delete in the number list.
    void run(const QString& steps) {
        for (const QString& step : steps.split(u' ', Qt::SkipEmptyParts)) {
            QObject* object = window->findChild<QObject*>(step);
            if (step.startsWith(u"page")) {
                tabs()->setCurrentIndex(step.mid(4).toInt());
            } else if (step == u"rm") {
                QFile::remove(settingsPath());
            } else if (step == u"dirty") {
                accountEdit()->setText(QStringLiteral("changed@139.com"));
            } else if (step == u"close") {
                window->windowHandle()->close();
            } else if (step == u"bigbook") {
                writeFile(path("book.txt"), QByteArray("c,1\r\n").repeated(1 << 20));
            } else if (step.startsWith(u"book=")) {
                writeFile(path("book.txt"), gbk(step.mid(5).replace(u'|', QStringLiteral("\r\n"))));
            } else if (step == u"delkey") {
                QTest::keyClick(numberList(), Qt::Key_Delete);
            } else if (step == u"stop") {
                stopImportOnceItShows(window.get());
            } else if (auto* action = qobject_cast<QAction*>(object)) {
                action->trigger();
            } else if (auto* widget = qobject_cast<QWidget*>(object)) {
                QTest::mouseClick(widget, Qt::LeftButton);
            } else {
                ADD_FAILURE() << "no such step " << step.toStdString();
            }
        }
    }
};

TEST_F(CommandTest, EachCommandShowsItsDialogsAndLeavesListAndFileAsItShould) {
    // List afterwards: "=" as before, "+x" with x added, else the entries separated by ";".
    // File afterwards: '=' as before, '-' none, 'L' the account and list as the program saves.
    // clang-format off
    const struct {
        const char *name, *steps;
        QStringList answers, log;
        const char* list;
        char file;
        int page;
    } rows[] = {
        {"SaveButton", "saveButton", {"ok"}, {kSaved}, "=", 'L', 1},
        {"SaveMenuAnsweredCancel", "dirty saveAction", {"cancel"}, {kSaved}, "=", 'L', 1},
        {"AddSample", "addNumberAction", {"input 李三,13806012345", "ok"}, {kAsk, "box ok 添加提示: 添加 李三,13806012345 成功"}, "+李三,13806012345", 'L', 1},
        {"AddWithoutName", "addNumberAction", {"input ,13806012345", "ok"}, {kAsk, "box ok 添加提示: 添加 ,13806012345 成功"}, "+,13806012345", 'L', 1},
        {"AddThirteenDigits", "addNumberAction", {"input a,1380601234567", "ok"}, {kAsk, "box ok 添加提示: 添加 a,1380601234567 成功"}, "+a,1380601234567", 'L', 1},
        {"AddElevenLetters", "addNumberAction", {"input a,abcdefghijk", "ok"}, {kAsk, "box ok 添加提示: 添加 a,abcdefghijk 成功"}, "+a,abcdefghijk", 'L', 1},
        {"AddSecondCommaCounts", "addNumberAction", {"input a,b,138060123", "ok"}, {kAsk, "box ok 添加提示: 添加 a,b,138060123 成功"}, "+a,b,138060123", 'L', 1},
        {"AddWithoutComma", "addNumberAction", {"input 13806012345", "ok"}, {kAsk, "box ok 添加提示: 添加 13806012345 失败 格式错误."}, "=", '=', 1},
        {"AddTenDigits", "addNumberAction", {"input a,1380601234", "ok"}, {kAsk, "box ok 添加提示: 添加 a,1380601234 失败 格式错误."}, "=", '=', 1},
        {"AddFullWidthComma", "addNumberAction", {"input a，13806012345", "ok"}, {kAsk, "box ok 添加提示: 添加 a，13806012345 失败 格式错误."}, "=", '=', 1},
        {"AddOnlyComma", "addNumberAction", {"input ,", "ok"}, {kAsk, "box ok 添加提示: 添加 , 失败 格式错误."}, "=", '=', 1},
        {"AddCancelled", "addNumberAction", {"input "}, {kAsk}, "=", '=', 1},
        {"DeleteCancelled", "deleteNumbersAction", {"cancel"}, {kDelete}, "=", '=', 1},
        {"DeletePicked", "deleteNumbersAction", {"ok"}, {kDelete}, "李三,13806012345", 'L', 1},
        {"DeleteKey", "delkey", {"ok"}, {kDelete}, "李三,13806012345", 'L', 1},
        {"DeleteNothingPicked", "clearListAction deleteNumbersAction", {"ok", "ok"}, {kClear, "box ?ok 提示: 没有选择号码: 请先在号码列表中点击要删除的号码."}, "", 'L', 1},
        {"ClearCancelled", "clearListAction", {"cancel"}, {kClear}, "=", '=', 1},
        {"Clear", "clearListAction", {"ok"}, {kClear}, "", 'L', 1},
        {"ImportButtonDoesNotSave", "importButton", {"file %D/book.txt"}, {kOpen}, "a,1;b,2", '=', 1},
        {"ImportMenuSaves", "importAction", {"file %D/book.txt"}, {kOpen}, "a,1;b,2", 'L', 1},
        {"ImportVCard", "book=BEGIN:VCARD|VERSION:3.0|FN:张三|TEL;TYPE=CELL:+86-138-0601-2345|END:VCARD importButton", {"file %D/book.txt"}, {kOpen}, "张三,13806012345", '=', 1},
        {"ImportTwice", "importButton importButton", {"file %D/book.txt", "file %D/book.txt"}, {kOpen, kOpen}, "a,1;b,2", '=', 1},
        {"ImportButtonCancelled", "importButton", {"file "}, {kOpen}, "=", '=', 1},
        {"ImportMenuCancelledStillSaves", "importAction", {"file "}, {kOpen}, "=", 'L', 1},
        {"ImportMenuRefusedStillSaves", "dirty importAction", {"file %D/none.txt", "ok"}, {kOpen, "box ?ok 提示: 找不到电话本文件 %D/none.txt, 号码列表没有改变."}, "=", 'L', 1},
        {"ImportWithoutEntrySavesNothing", "dirty book=a1|b2|| importAction", {"file %D/book.txt", "ok"}, {kOpen, "box ?ok 提示: 电话本文件 %D/book.txt 中没有 名字,号码 格式的行(如 李三,13806012345), 号码列表没有改变."}, "=", '=', 1},
        {"ImportEmptySavesNothing", "dirty book= importAction", {"file %D/book.txt", "ok"}, {kOpen, "box ?ok 提示: 电话本文件 %D/book.txt 中没有 名字,号码 格式的行(如 李三,13806012345), 号码列表没有改变."}, "=", '=', 1},
        {"ImportMenuStoppedSavesNothing", "bigbook stop importAction", {"file %D/book.txt"}, {kOpen}, "=", '=', 1},
        {"ViewFile", "viewPhoneBookAction", {"start"}, {kEditor}, "=", '=', 1},
        {"ViewWithoutEditor", "viewPhoneBookAction", {"nostart", "ok"}, {kEditor, "box ?ok 提示: 无法打开文本编辑器, 请自行打开文件 %D/set.ini"}, "=", '=', 1},
        {"SendRecordMissing", "sendRecordAction", {"ok"}, {"box ?ok 提示: 还没有发送记录. 每次发送短信后, 发送记录都会写入 %D/sent.log"}, "=", '=', 1},
        {"ViewMissingFile", "rm viewPhoneBookAction", {"ok"}, {"box ?ok 提示: 找不到电话本文件,可能你未保存或丢失."}, "=", '-', 1},
        {"About", "aboutAction", {}, {}, "=", '=', 0},
        {"AboutFromNotices", "page2 aboutAction", {}, {}, "=", '=', 0},
        {"Notices", "page0 noticesAction", {}, {}, "=", '=', 2},
        {"Feedback", "feedbackAction", {"start"}, {kFeedback}, "=", '=', 1},
        {"FeedbackKeepsThePage", "page2 feedbackAction", {"start"}, {kFeedback}, "=", '=', 2},
        {"FeedbackLink", "page0 feedbackLink", {"start"}, {kFeedback}, "=", '=', 0},
        {"RegisterLinkEachClick", "registrationLink registrationLink", {"start", "start"}, {kRegister, kRegister}, "=", '=', 1},
        {"NoBrowser", "registrationLink", {"nostart", "ok"}, {kRegister, "box ?ok 提示: 无法打开网页 http://127.0.0.1:9/register, 请在浏览器中手动打开."}, "=", '=', 1},
        {"InformationLinesAreNoLinks", "page0 homepageLabel mailLabel titleLabel pictureLabel", {}, {}, "=", '=', 0},
        {"ExitMenuCancelled", "dirty exitAction", {"cancel"}, {kQuit}, "=", '=', 1},
        {"ExitButtonCancelled", "exitButton", {"cancel"}, {kQuit}, "=", '=', 1},
        {"TitleBarCancelled", "close", {"cancel"}, {kQuit}, "=", '=', 1},
        {"ExitMenu", "dirty exitAction", {"ok", "start", "end"}, {kQuit, kHome, "end"}, "=", '=', 1},
        {"ExitButton", "dirty exitButton", {"ok", "start", "end"}, {kQuit, kHome, "end"}, "=", '=', 1},
        {"TitleBar", "dirty close", {"ok", "start", "end"}, {kQuit, kHome, "end"}, "=", '=', 1},
        {"ExitWithoutBrowser", "exitButton", {"ok", "nostart", "end"}, {kQuit, kHome, "end"}, "=", '=', 1},
    };
    // clang-format on
    config.importProgressDelay = std::chrono::milliseconds(0);  // every import shows progress
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        reset();
        const QByteArray edited = gbk(kEdited);
        writeFile(settingsPath(), edited);
        writeFile(path("book.txt"), gbk("a,1\r\nno comma\r\nb，2\r\n"));
        open();
        clickEntry(1);
        const QStringList before = textsOf(numberList()->entries());
        QStringList answers = row.answers, log = row.log;
        answers.replaceInStrings("%D", folder->path());
        log.replaceInStrings("%D", folder->path());
        platform->script(answers);
        run(QString::fromUtf8(row.steps));

        EXPECT_EQ(platform->log(), log);
        const QString list = QString::fromUtf8(row.list);
        const QStringList entries = list == u"="            ? before
                                    : list.startsWith(u'+') ? before + QStringList(list.mid(1))
                                                            : list.split(u';', Qt::SkipEmptyParts);
        EXPECT_EQ(textsOf(numberList()->entries()), entries);
        const auto picks = numberList()->picks();
        EXPECT_EQ(std::count(picks.begin(), picks.end(), true),
                  list == u"=" || list.startsWith(u'+') ? 1 : 0);
        EXPECT_EQ(recipientsEdit()->text() + QString::number(window->selectedCount()),
                  "139060543211");
        EXPECT_EQ(tabs()->currentIndex(), row.page);
        EXPECT_EQ(window->isVisible(), !log.endsWith("end"));
        const QByteArray file = row.file == '='   ? edited
                                : row.file == 'L' ? savedBytes(accountEdit()->text(), entries)
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
    run("page0 feedbackLink exitAction");
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
    run("importAction addNumberAction");
    EXPECT_EQ(
        platform->log().mid(1),
        QStringList(
            {"box ?ok 提示: 号码列表最多容纳 32767 个号码, 电话本中另有 7233 个号码没有导入.", kAsk,
             "box ok 添加提示: 添加 李三,13806012345 失败 号码列表已满(最多 32767 个号码)."}));
    EXPECT_EQ(numberList()->count(), 32767);
    const QStringList entries = textsOf(numberList()->entries());
    EXPECT_EQ(entries.last(), QStringLiteral("用户32766,13800032766"));
    EXPECT_EQ(savedEntries(folder->path()), entries);
}

}  // namespace
}  // namespace zelvo::testing
