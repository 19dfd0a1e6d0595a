// The window as the user sees it: its controls, how it starts, the keyboard, the message
// field, picking recipients in the number list, and the Qt dialogs behind the platform calls.
#include <QAbstractButton>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTimer>

#include "app/application_setup.h"
#include "app/qt_platform_services.h"
#include "window_fixture.h"

namespace zelvo::testing {
namespace {

QString shownText(QObject* object) {
    if (auto* label = qobject_cast<QLabel*>(object)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(object)) return button->text();
    if (auto* frame = qobject_cast<QGroupBox*>(object)) return frame->title();
    if (auto* line = qobject_cast<QLineEdit*>(object)) return line->text();
    if (auto* box = qobject_cast<app::MultiLineTextBox*>(object)) return box->text();
    if (auto* action = qobject_cast<QAction*>(object)) return action->text();
    return {};
}

using WindowLayoutTest = WindowTest;

TEST_F(WindowLayoutTest, EveryControlAndMenuEntryHasItsNamePlaceAndText) {
    // Where: the page, or the menu for its entries. Fields start empty; the label names a field
    // for screen readers and gives it the focus.
    // clang-format off
    const struct {
        const char *name, *where, *text, *label = "";
    } rows[] = {
        {"sendingFrame", "sendingPage", ""},
        {"accountLabel", "sendingPage", "移动139邮箱帐号(例如:13806012345@139.com 必须使用移动139邮箱.)"},
        {"accountEdit", "sendingPage", "", "accountLabel"},
        {"registrationLink", "sendingPage", "如果你没有139邮箱,可以点击这里注册"},
        {"passwordLabel", "sendingPage", "邮箱帐号密码"},
        {"passwordEdit", "sendingPage", "", "passwordLabel"},
        {"recipientsLabel", "sendingPage", "接收短信手机号码(从手机号码列表中选择)"},
        {"recipientsEdit", "sendingPage", "", "recipientsLabel"},
        {"numberListLabel", "sendingPage", "手机号码列表(限制选择10个号码)"},
        {"messageLabel", "sendingPage", "短信内容"},
        {"charactersLeftLabel", "sendingPage", "还可输入 69 字"},
        {"numberList", "sendingPage", "", "numberListLabel"},
        {"messageEdit", "sendingPage", "", "messageLabel"},
        {"sendButton", "sendingPage", "发送短信"},
        {"importButton", "sendingPage", "导入电话本"},
        {"saveButton", "sendingPage", "保存设置"},
        {"exitButton", "sendingPage", "退出程序"},
        {"pictureLabel", "aboutPage", ""},
        {"feedbackLink", "aboutPage", "意见建议信息反馈"},
        {"infoFrame", "aboutPage", "软件信息栏"},
        {"designLabel", "aboutPage", "设计 Zelvo软件工作室"},
        {"titleLabel", "aboutPage", "名称 Zelvo短信发送器"},
        {"versionLabel", "aboutPage", "版本 1.0.0"},
        {"functionLabel", "aboutPage", "功能 免费发送移动手机短信."},
        {"mailLabel", "aboutPage", "邮件 support@example.com"},
        {"homepageLabel", "aboutPage", "主页 http://127.0.0.1:9/home"},
        {"noticesView", "noticesPage", ""},
        {"sendAction", "commandMenu", "发送短信"},
        {"saveAction", "commandMenu", "保存设置"},
        {"sendRecordAction", "commandMenu", "发送记录"},
        {"exitAction", "commandMenu", "退出程序"},
        {"addNumberAction", "numberMenu", "手动输入号码"},
        {"importAction", "numberMenu", "文本文件导入"},
        {"deleteNumbersAction", "numberMenu", "删除所选号码"},
        {"clearListAction", "numberMenu", "清空号码列表"},
        {"viewPhoneBookAction", "numberMenu", "查看电话本文件"},
        {"noticesAction", "helpMenu", "信息公告"},
        {"feedbackAction", "helpMenu", "故障反馈"},
        {"aboutAction", "helpMenu", "关于程序"},
    };
    // clang-format on
    open();
    std::map<QString, QStringList> menus;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QObject* object = window->findChild<QObject*>(QString::fromLatin1(row.name));
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(shownText(object), QString::fromUtf8(row.text));
        if (auto* action = qobject_cast<QAction*>(object)) {
            menus[row.where] << row.name;
            EXPECT_TRUE(action->shortcut().isEmpty());
        } else {
            EXPECT_TRUE(control(row.where)->isAncestorOf(qobject_cast<QWidget*>(object)));
            // The whole text fits, in a C and in a Chinese locale alike (tests/CMakeLists.txt).
            EXPECT_LE(*row.text ? control(row.name)->sizeHint().width() : 0,
                      control(row.name)->width());
        }
        if (*row.label) {
            EXPECT_EQ(control<QLabel>(row.label)->buddy(), object);
            EXPECT_EQ(control(row.name)->accessibleName(), control<QLabel>(row.label)->text());
        }
    }
    QStringList titles;
    for (QAction* title : window->menuBar()->actions()) {
        titles << title->text();
        QStringList entries;
        for (QAction* entry : title->menu()->actions()) entries << entry->objectName();
        EXPECT_EQ(entries, menus[title->menu()->objectName()]);
    }
    EXPECT_EQ(titles, QStringList({"菜单管理", "手机号码管理", "软件帮助"}));
    QStringList captions;
    for (int i = 0; i < tabs()->count(); ++i) captions << tabs()->tabBar()->tabText(i);
    EXPECT_EQ(captions, QStringList({"关于程序", "程序界面", "信息公告"}));
    EXPECT_FALSE(control<QLabel>("pictureLabel")->pixmap().isNull());
}

TEST_F(WindowLayoutTest, StartsCentredSilentAndEmptyOnTheSendingPage) {
    for (const QSize screen : {QSize(15000, 12000), QSize(3000, 3000)}) {
        reset(screen);
        open();
        const QSize outer = window->size();  // a desktop's frame comes only once shown
        EXPECT_EQ(window->pos(), QPoint((screen.width() / 15 - outer.width()) / 2,
                                        (screen.height() / 15 - outer.height()) / 2));
        EXPECT_EQ(window->windowTitle(), QStringLiteral("Zelvo短信发送器"));
        EXPECT_EQ(tabs()->currentIndex(), 1);
        EXPECT_EQ(numberList()->count(), 0);
        EXPECT_TRUE(platform->calls().empty());
        EXPECT_FALSE(QFile::exists(settingsPath()));
    }
    QTest::keyClicks(passwordEdit(), QStringLiteral("s3cr et"));
    EXPECT_EQ(passwordEdit()->text(), QStringLiteral("s3cr et"));
    EXPECT_EQ(passwordEdit()->displayText(), QStringLiteral("*******"));

    tabs()->setCurrentIndex(0);  // the feedback link turns red once the mouse is on it
    QTest::mouseMove(control("feedbackLink"), control("feedbackLink")->rect().center());
    QTRY_COMPARE(control("feedbackLink")->palette().color(QPalette::WindowText), QColor(Qt::red));

    const QSize designed = window->size();
    window->resize(designed + QSize(120, 80));
    QTRY_COMPARE(window->size(), designed);
}

TEST_F(WindowLayoutTest, WithoutTheSmtpModuleEverySendEndsInTheFailureBox) {
    writeFile(settingsPath(),
              "[UserMsg]\r\nUser=13806012345@139.com\r\n[Phone]\r\n0=a,13806012345\r\ntotal=0\r\n");
    open(app::submitThroughSmtpModule({folder->path()}));  // a folder without the module
    ASSERT_EQ(numberList()->count(), 1);
    clickEntry(0);
    messageEdit()->setText(QStringLiteral("你好"));
    for (int attempt = 0; attempt < 2; ++attempt) {
        platform->expectMessageBox(app::Answer::Ok, [&](const ScriptedPlatform::Call&) {
            EXPECT_FALSE(sendButton()->isEnabled());
        });
        QTest::mouseClick(sendButton(), Qt::LeftButton);
        EXPECT_EQ(platform->log().back(), "box ?ok 提示: " + kSendFailed);
        const QString details =
            platform->callsOf(ScriptedPlatform::Kind::MessageBox).back().defaultText;
        EXPECT_TRUE(details.contains(QStringLiteral("程序的网络组件无法启动")))
            << details.toStdString();
        EXPECT_TRUE(sendButton()->isEnabled());
    }
}

TEST_F(WindowLayoutTest, TabWalksThePageInOrderAndSkipsTheRecipientField) {
    open();
    window->activateWindow();
    accountEdit()->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), accountEdit());
    QStringList visited = {QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 7; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(visited, QStringList({"accountEdit", "passwordEdit", "messageEdit", "sendButton",
                                    "saveButton", "exitButton", "numberList", "importButton"}));
    QTest::mouseClick(recipientsEdit()->viewport(), Qt::LeftButton);
    EXPECT_NE(QApplication::focusWidget(), recipientsEdit());
}

TEST_F(WindowLayoutTest, MessageFieldStopsAtSeventyCharactersTypedOrPasted) {
    open();
    app::MultiLineTextBox* body = messageEdit();
    // Beside 短信内容, what the send check still allows, also for screen readers.
    QTest::keyClicks(body, QString(10, u'a'));
    EXPECT_EQ(control<QLabel>("charactersLeftLabel")->text(), QStringLiteral("还可输入 59 字"));
    EXPECT_EQ(body->accessibleDescription(), QStringLiteral("还可输入 59 字"));
    QTest::keyClicks(body, QString(61, u'a'));
    EXPECT_EQ(body->text(), QString(70, u'a'));
    EXPECT_EQ(control<QLabel>("charactersLeftLabel")->text(),
              QStringLiteral("超出 1 字, 无法发送"));
    // Pasted text is cut; a line end counts as two characters, as in the mail; a character
    // outside the basic plane is never halved.
    const struct {
        QString before, pasted, after;
    } pastes[] = {{"", QString(100, QChar(0x4E2D)), QString(70, QChar(0x4E2D))},
                  {"", QString(68, u'b') + "\nxyz", QString(68, u'b') + "\r\n"},
                  {QString(69, u'c'), QStringLiteral("😀"), QString(69, u'c')}};
    for (const auto& p : pastes) {
        body->setText(p.before);
        body->moveCursor(QTextCursor::End);
        QApplication::clipboard()->setText(p.pasted);
        body->paste();
        EXPECT_EQ(body->text(), p.after);
    }
}

// ---- picking recipients ----------------------------------------------------------------------

const QString kLimit = QStringLiteral("L");

// "#n" stands for n entries "n<i>,138060100<ii>"; entries are separated by ";".
recipients::EntryList entriesOf(const QString& pattern) {
    recipients::EntryList entries;
    for (const QString& part : pattern.split(u';', Qt::SkipEmptyParts)) {
        if (!part.startsWith(u'#')) {
            entries.append(part);
            continue;
        }
        for (int i = 0; i < part.mid(1).toInt(); ++i)
            entries.append(QStringLiteral("n%1,138060100%2").arg(i).arg(i, 2, 10, QChar(u'0')));
    }
    return entries;
}

// "0-9 11": rows 0 to 9, then 11.
std::vector<int> rowsOf(const QString& ranges) {
    std::vector<int> rows;
    for (const QString& part : ranges.split(u' ', Qt::SkipEmptyParts)) {
        for (int r = part.section(u'-', 0, 0).toInt(); r <= part.section(u'-', -1).toInt(); ++r)
            rows.push_back(r);
    }
    return rows;
}

TEST_F(WindowLayoutTest, ClicksOnTheListBuildTheRecipientField) {
    // Boxes, in order: Limit, Operator or leNgth, and whether the clicked entry was still
    // picked while the box was open (+) or not (-). All have the title 错误提示 and style 32.
    // clang-format off
    const struct {
        const char *name, *entries, *clicks, *subjectBefore, *subject;
        int count;
        const char *picked, *boxes;
    } rows[] = {
        {"Sample", "李三,13806012345", "0", "", "13806012345", 1, "0", ""},
        {"ListOrder", "#5", "4 1", "", "13806010001,13806010004", 2, "1 4", ""},
        {"MiddleDeselected", "a,13806012341;b,13906012342;c,15006012343", "0 1 2 1", "",
         "13806012341,15006012343", 2, "0 2", ""},
        {"LastPickDeselectedKeepsField", "a,13806012345", "0 0", "", "13806012345", 0, "", ""},
        {"DigitsWithoutComma", "13806012345", "0", "", "13806012345", 1, "0", ""},
        {"ExtraDigitsIgnored", "a,1380601234599", "0", "", "13806012345", 1, "0", ""},
        {"LettersAfterPrefix", "x,135abcdefgh", "0", "old", "old", 0, "", "N+"},
        {"CommasAfterPrefix", "x,138,10086,1", "0", "", "", 0, "", "N+"},
        {"FullWidthDigitsAfterPrefix", "x,138０６０１２３４５", "0", "", "", 0, "", "N+"},
        {"ShortNumber", "x,1380601", "0", "old", "old", 0, "", "N+"},
        {"OtherOperator", "x,13306012345", "0", "old", "old", 0, "", "O+"},
        {"NeighbourOfANewPrefix", "x,19606012345", "0", "old", "old", 0, "", "O+"},
        {"PrefixBeforeLength", "x,1231", "0", "", "", 0, "", "O+"},
        {"NewPrefixShort", "x,1981", "0", "", "", 0, "", "N+"},
        {"NewPrefixes", "a,14706012345;b,14806012345;c,15706012345;d,17206012345;e,17806012345;"
         "f,18206012345;g,18306012345;h,18406012345;i,19506012345;j,19706012345", "0-9", "",
         "14706012345,14806012345,15706012345,17206012345,17806012345,18206012345,18306012345,"
         "18406012345,19506012345,19706012345", 10, "0-9", ""},
        {"EmptyNumber", "x,", "0", "", "", 0, "", "O+"},
        {"SpaceAfterComma", "x, 13806012345", "0", "", "", 0, "", "O+"},
        {"FirstCommaSeparates", "x,y,13806012345", "0", "", "", 0, "", "O+"},
        {"FullWidthComma", "李三，13806012345", "0", "", "", 0, "", "O+"},
        {"FullWidthDigits", "x,１３８06012345", "0", "", "", 0, "", "O+"},
        {"RejectionKeepsEarlierPicks", "a,13806012341;b,12306012342", "0 1", "", "13806012341", 1,
         "0", "O+"},
        {"RejectionKeepsLaterPicks", "a,12306012341;b,13806012342", "1 0", "", "13806012342", 1,
         "1", "O+"},
        {"TenAccepted", "#12", "0-9", "", "#0-9", 10, "0-9", ""},
        {"EleventhBelowAll", "#12", "0-9 11", "", "#0-9", 10, "0-9", "L-"},
        {"EleventhAboveSome", "#12", "2-11 0", "", "#2-11", 10, "2-11", "L-"},
        {"LimitThenOperator", "#11;x,12306012345", "0-9 10 0-9 11", "", "13806010009", 0, "",
         "L- O+"},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        reset();
        open();
        numberList()->setEntries(entriesOf(QString::fromUtf8(row.entries)));
        recipientsEdit()->setText(QString::fromUtf8(row.subjectBefore));
        int clicked = -1;
        QStringList boxes;
        const QStringList expectedBoxes = QString(row.boxes).split(u' ', Qt::SkipEmptyParts);
        for (int i = 0; i < expectedBoxes.size(); ++i) {
            platform->expectMessageBox(app::Answer::Ok, [&](const ScriptedPlatform::Call& call) {
                const QString kind = call.text.endsWith(u"上限。")       ? "L"
                                     : call.text.endsWith(u"移动号码。") ? "O"
                                     : call.text.endsWith(u"手机号码。") ? "N"
                                                                         : call.text;
                boxes << kind + (numberList()->picks()[size_t(clicked)] ? "+" : "-");
                EXPECT_EQ(call.title + ScriptedPlatform::nameOf(call.style),
                          QStringLiteral("错误提示?ok"));
            });
        }
        for (int r : rowsOf(row.clicks)) clickEntry(clicked = r);
        EXPECT_EQ(boxes, expectedBoxes);
        QString subject = QString::fromUtf8(row.subject);
        if (subject.startsWith(u'#')) {
            QStringList numbers;
            for (int r : rowsOf(subject.mid(1)))
                numbers << QStringLiteral("138060100%1").arg(r, 2, 10, QChar(u'0'));
            subject = numbers.join(u',');
        }
        EXPECT_EQ(recipientsEdit()->text(), subject);
        EXPECT_EQ(window->selectedCount(), row.count);
        std::vector<int> picked;
        for (int r = 0; r < numberList()->count(); ++r)
            if (numberList()->picks()[size_t(r)]) picked.push_back(r);
        EXPECT_EQ(picked, rowsOf(row.picked));
    }
}

TEST_F(WindowLayoutTest, OnlyAClickOrSpaceTogglesAnEntry) {
    open();
    numberList()->setEntries(entriesOf("#4"));
    for (int row : {1, 3, 1}) clickEntry(row);
    EXPECT_EQ(numberList()->picks(), std::vector<bool>({false, false, false, true}));

    // Dragging across entries does not pick the ones passed over.
    QListView* list = numberList();
    const QPoint from = list->visualRect(list->model()->index(0, 0)).center();
    const QPoint to = list->visualRect(list->model()->index(2, 0)).center();
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, list->viewport()->mapToGlobal(to), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &move);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, to);
    EXPECT_EQ(numberList()->picks(), std::vector<bool>({true, false, false, true}));

    // Select-all picks nothing; Space toggles the entry with the focus.
    list->setFocus();
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    list->selectionModel()->setCurrentIndex(list->model()->index(2, 0),
                                            QItemSelectionModel::NoUpdate);
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(numberList()->picks(), std::vector<bool>({true, false, true, true}));
    EXPECT_EQ(recipientsEdit()->text(), QStringLiteral("13806010000,13806010002,13806010003"));
    EXPECT_EQ(window->selectedCount(), 3);
}

// ---- the notices page -----------------------------------------------------------------------

// The libraries of an OpenGL driver, Qt Quick, QML or the web engine mapped into this process.
QStringList heavyLibrariesMapped() {
    static const QRegularExpression heavy(QStringLiteral(
        R"([^/\s]*(_dri|_mesa|LLVM|gallium|xcb-(egl|glx)-integration|Qt6(OpenGL|Quick|Qml|WebEngine))\S*)"));
    QFile maps(QStringLiteral("/proc/self/maps"));
    EXPECT_TRUE(maps.open(QIODevice::ReadOnly));
    QStringList found;
    for (const QRegularExpressionMatch& match :
         heavy.globalMatch(QString::fromUtf8(maps.readAll())))
        found.append(match.captured());
    found.removeDuplicates();
    return found;
}

const QString kBundled = QStringLiteral("qrc:/info/notices.html");

TEST_F(WindowLayoutTest, NoticesPageShowsTheBundledPageInATextViewWithoutOpenGlOrTheWebEngine) {
    const auto text = [&] { return control<QTextBrowser>("noticesText"); };
    const auto clickTab = [&] {
        QTest::mouseClick(tabs()->tabBar(), Qt::LeftButton, {},
                          tabs()->tabBar()->tabRect(2).center());
    };
    const auto clickFeedback = [&] {
        tabs()->setCurrentIndex(0);
        QTest::mouseClick(control("feedbackLink"), Qt::LeftButton);
    };
    // Clicks the middle of the text the cursor holds, as the user would.
    const auto clickAt = [&](QTextCursor cursor) {
        cursor.setPosition((cursor.selectionStart() + cursor.selectionEnd()) / 2);
        QTest::mouseClick(text()->viewport(), Qt::LeftButton, {},
                          text()->cursorRect(cursor).center());
    };
    enum Shown { Top, ReportPart, Nothing };
    // clang-format off
    const struct {
        const char* name;
        std::function<void()> show;
        QString address = kBundled;  // the build's notices address
        QString source = kBundled;   // what the page shows afterwards
        Shown shown = Top;
        QStringList answers = {}, log = {};
    } rows[] = {
        {.name = "its tab", .show = clickTab},
        {.name = "the help menu", .show = [&] { menuEntry("noticesAction")->trigger(); }},
        {.name = "the feedback link", .show = clickFeedback, .source = kBundled + "#report", .shown = ReportPart},
        {.name = "the feedback link again, scrolled back", .show = [&] { clickFeedback(); text()->verticalScrollBar()->setValue(0); clickFeedback(); }, .source = kBundled + "#report", .shown = ReportPart},
        {.name = "a web link in the page", .show = [&] { clickTab(); clickAt(text()->document()->find("mail.10086.cn")); }, .answers = {"start"}, .log = {"start min: explorer.exe https://mail.10086.cn/"}},
        {.name = "a web address, no web view module", .show = clickTab, .address = "http://127.0.0.1:9/notices", .source = "http://127.0.0.1:9/notices", .shown = Nothing},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        reset();
        config.feedbackUrl = QString();  // the link then leads to the page's part on problems
        config.infoPageUrl = row.address;
        open();
        platform->script(row.answers);
        row.show();
        QTest::qWait(100);  // a web view would be made now
        EXPECT_EQ(tabs()->currentIndex(), 2);
        EXPECT_EQ(noticesView()->source(), QUrl(row.source));
        EXPECT_EQ(text()->isVisible(), row.shown != Nothing);
        EXPECT_EQ(noticesView()->findChild<QWidget*>("noticesWebView"), nullptr);
        if (row.shown != Nothing) {
            EXPECT_EQ(text()->documentTitle(), QStringLiteral("信息公告"));
            // The part's heading is below the first screen: the page scrolled to show it.
            const QTextCursor heading = text()->document()->find(QStringLiteral("四、故障反馈"));
            ASSERT_FALSE(heading.isNull());
            const QRect at = text()->cursorRect(heading);
            EXPECT_EQ(at.top() >= 0 && at.bottom() < text()->viewport()->height(),
                      row.shown == ReportPart)
                << at.top();
        }
        EXPECT_EQ(platform->log(), row.log);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_EQ(heavyLibrariesMapped(), QStringList());
    }
}

// ---- the Qt dialogs --------------------------------------------------------------------------

// Answers the next modal dialog from inside its event loop, as a user would.
void whenModalShows(std::function<void(QWidget*)> answer) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer = std::move(answer)] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->deleteLater();
            timer->stop();
            answer(modal);
        }
    });
    timer->start();
}

TEST(QtPlatformServicesTest, DialogsShowWhatTheyAreGivenAndReturnTheAnswer) {
    using B = QMessageBox;
    using enum app::MessageStyle;
    using enum app::Answer;
    const struct {
        app::MessageStyle style;
        B::Icon icon;
        B::StandardButtons buttons;
        std::function<void(QMessageBox*)> press;
        app::Answer answer;
    } boxes[] = {
        // clang-format off
        {OkOnly, B::NoIcon, B::Ok, [](B* b) { b->button(B::Ok)->click(); }, Ok},
        {QuestionOk, B::Question, B::Ok, [](B* b) { b->button(B::Ok)->click(); }, Ok},
        {QuestionOkCancel, B::Question, B::Ok | B::Cancel, [](B* b) { b->button(B::Ok)->click(); }, Ok},
        {QuestionOkCancel, B::Question, B::Ok | B::Cancel, [](B* b) { b->button(B::Cancel)->click(); }, Cancel},
        {QuestionOkCancel, B::Question, B::Ok | B::Cancel, [](B* b) { QTest::keyClick(b, Qt::Key_Escape); }, Cancel},
        // clang-format on
    };
    app::QtPlatformServices services;
    for (const auto& c : boxes) {
        SCOPED_TRACE(ScriptedPlatform::nameOf(c.style).toStdString());
        whenModalShows([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->windowTitle() + box->accessibleName(), "退出提示退出提示");
            EXPECT_EQ(box->text(), QStringLiteral("您确定要退出程序吗?"));
            EXPECT_EQ(box->icon(), c.icon);
            EXPECT_EQ(box->standardButtons(), c.buttons);
            c.press(box);
        });
        EXPECT_EQ(services.messageBox("您确定要退出程序吗?", c.style, "退出提示"), c.answer);
    }
    for (const bool confirm : {true, false}) {
        whenModalShows([confirm](QWidget* modal) {
            auto* dialog = qobject_cast<QInputDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle() + dialog->labelText(), "手动添加号码提示");
            EXPECT_EQ(dialog->textValue(), QStringLiteral("李三,13806012345"));
            dialog->setTextValue(QStringLiteral("王五,13906054321"));
            confirm ? dialog->accept() : dialog->reject();
        });
        EXPECT_EQ(services.inputBox("提示", "手动添加号码", "李三,13806012345"),
                  confirm ? QStringLiteral("王五,13906054321") : QString());
    }
    const app::ApplicationFacts facts = services.applicationFacts();
    EXPECT_EQ(facts.title +
                  QStringLiteral(" %1.%2.%3").arg(facts.major).arg(facts.minor).arg(facts.revision),
              QStringLiteral("Zelvo短信发送器 1.0.0"));
    EXPECT_EQ(facts.folder, QCoreApplication::applicationDirPath());
    EXPECT_EQ(services.screenSizeTwips(), QSize(12000, 12000));  // offscreen: 800 by 800 pixels

    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    app::installTranslations(*qApp);
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Ok)->text(), QStringLiteral("确定"));
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));

    // A box with details opens them from its "显示详情..." button; Esc is still OK.
    whenModalShows([](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->detailedText(), QStringLiteral("原因"));
        QStringList texts;
        for (QAbstractButton* button : box->buttons()) texts << button->text();
        EXPECT_TRUE(texts.contains(QStringLiteral("显示详情...")))
            << texts.join(u'|').toStdString();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_EQ(services.messageBoxWithDetails(kSendFailed, QuestionOk, "提示", "原因"), Ok);
}

}  // namespace
}  // namespace zelvo::testing
