// The window as the user sees it: its texts, how it starts, the keyboard, the message field,
// picking recipients in the number list, and the notices page.
#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBrowser>

#include "window_fixture.h"

namespace zelvo::testing {
namespace {

using WindowLayoutTest = WindowTest;

// Every label and button shows its whole text, in a C and in a Chinese locale alike
// (tests/CMakeLists.txt); each label names its field for screen readers; no menu entry has a
// shortcut key.
TEST_F(WindowLayoutTest, TextsFitLabelsNameTheirFieldsAndNoEntryHasAShortcut) {
    open();
    int texts = 0;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        const auto* label = qobject_cast<QLabel*>(widget);
        const auto* button = qobject_cast<QAbstractButton*>(widget);
        const QString text = label ? label->text() : button ? button->text() : QString();
        if (text.isEmpty() || widget->isHidden()) continue;
        ++texts;
        EXPECT_LE(widget->sizeHint().width(), widget->width())
            << widget->objectName().toStdString();
        if (label && label->buddy()) {
            EXPECT_EQ(label->buddy()->accessibleName(), text);
        }
    }
    EXPECT_GE(texts, 15);
    for (const QAction* action : window->findChildren<QAction*>())
        EXPECT_TRUE(action->shortcut().isEmpty()) << action->text().toStdString();
}

TEST_F(WindowLayoutTest, StartsCentredSilentAndEmptyOnTheSendingPage) {
    for (const QSize screen : {QSize(1000, 800), QSize(200, 200)}) {
        reset(screen);
        open();
        const QSize outer = window->size();  // a desktop's frame comes only once shown
        const QPoint centred((screen.width() - outer.width()) / 2,
                             (screen.height() - outer.height()) / 2);
        // Windows keeps a window's title bar on the screen: a larger window is not centred there.
        const bool keptOnScreen = QSysInfo::productType() == u"windows" && centred.x() < 0;
        EXPECT_EQ(
            std::tuple(keptOnScreen ? centred : window->pos(), window->windowTitle(),
                       tabs()->currentIndex(), numberList()->count(), desktop->log(),
                       QFile::exists(settingsPath())),
            std::tuple(centred, QStringLiteral("Zelvo短信发送器"), 1, 0, QStringList(), false));
    }
    QTest::keyClicks(passwordEdit(), QStringLiteral("s3cr et"));
    EXPECT_EQ(passwordEdit()->text() + passwordEdit()->displayText(), "s3cr et*******");

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
        desktop->expectBox(app::Answer::Ok, [&](const ScriptedDesktop::Call&) {
            EXPECT_FALSE(sendButton()->isEnabled());
        });
        QTest::mouseClick(sendButton(), Qt::LeftButton);
        EXPECT_EQ(std::tuple(desktop->log().back(),
                             desktop->calls().back().details.contains("程序的网络组件无法启动"),
                             sendButton()->isEnabled()),
                  std::tuple("box 提示: " + kSendFailed, true, true));
    }
}

TEST_F(WindowLayoutTest, TabWalksThePageInOrderAndSkipsTheRecipientField) {
    open();
    window->activateWindow();
    accountEdit()->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), accountEdit());
    QStringList visited = {QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(visited, QStringList({"accountEdit", "passwordEdit", "messageEdit", "splitCheckBox",
                                    "sendButton", "saveButton", "exitButton", "numberList",
                                    "importButton"}));
    QTest::mouseClick(recipientsEdit()->viewport(), Qt::LeftButton);
    EXPECT_NE(QApplication::focusWidget(), recipientsEdit());
}

TEST_F(WindowLayoutTest, MessageFieldStopsAtSeventyCharactersTypedOrPasted) {
    open();
    app::CrLfTextEdit* body = messageEdit();
    // Beside 短信内容, what the send check still allows, also for screen readers.
    const auto left = [&] {
        return control<QLabel>("charactersLeftLabel")->text() + "|" + body->accessibleDescription();
    };
    QTest::keyClicks(body, QString(10, u'a'));
    EXPECT_EQ(left(), QStringLiteral("还可输入 59 字|还可输入 59 字"));
    QTest::keyClicks(body, QString(61, u'a'));
    EXPECT_EQ(body->text(), QString(70, u'a'));
    EXPECT_EQ(left(), QStringLiteral("超出 1 字, 无法发送|超出 1 字, 无法发送"));
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
    // With 长短信分条发送 the field takes ten parts, and the count beside the box tells the parts
    // and what the last one may still take; turned off, the message is too long again.
    auto* split = control<QCheckBox>("splitCheckBox");
    const auto* parts = control<QLabel>("partsLabel");
    EXPECT_FALSE(split->isChecked() || parts->isVisible());
    split->click();
    body->setText(QString(150, u'a'));
    EXPECT_EQ(parts->text() + "|" + body->accessibleDescription(),
              QStringLiteral("共 3 条, 本条还可输入 42 字|共 3 条, 本条还可输入 42 字"));
    QApplication::clipboard()->setText(QString(700, u'b'));
    body->paste();
    EXPECT_EQ(body->text().size(), 629);
    EXPECT_EQ(parts->text(), QStringLiteral("共 10 条, 本条还可输入 0 字"));
    EXPECT_LE(parts->sizeHint().width(), parts->width());
    EXPECT_TRUE(parts->isVisible() && !control<QLabel>("charactersLeftLabel")->isVisible());
    split->click();
    EXPECT_EQ(left(), QStringLiteral("超出 560 字, 无法发送|超出 560 字, 无法发送"));
}

// ---- picking recipients ----------------------------------------------------------------------

// Which pick the walk takes back and what it builds is tested on the walk itself
// (tests/recipients); the window tells the rejection in a box, a wrong number while its pick
// still shows, the limit after the pick is gone.
TEST_F(WindowLayoutTest, ARejectedPickIsToldAndTakenBack) {
    // clang-format off
    const struct {
        const char* name;
        QStringList entries;  // each clicked in order
        QString box;
        bool pickShownDuringTheBox;
        QString field;
    } rows[] = {
        {"WrongOperator", {"a,13806012341", "x,12306012345"}, "您选择的电话号码错误,它不是移动号码。", true, "13806012341"},
        {"Limit", numbered(11), "您选择的电话号码已达到上限。", false, numbered(10).join(u',').remove(QRegularExpression("n\\d+,"))},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        reset();
        open();
        numberList()->setEntries(entriesOf(row.entries));
        const std::size_t last = std::size_t(row.entries.size() - 1);
        bool pickShown = !row.pickShownDuringTheBox;
        desktop->expectBox(app::Answer::Ok, [&](const ScriptedDesktop::Call&) {
            pickShown = numberList()->picks()[last];
        });
        for (int entry = 0; entry <= int(last); ++entry) clickEntry(entry);
        EXPECT_EQ(desktop->log(), QStringList("box 错误提示: " + row.box));
        EXPECT_EQ(std::tuple(pickShown, bool(numberList()->picks()[last]), recipientsEdit()->text(),
                             selectedCount()),
                  std::tuple(row.pickShownDuringTheBox, false, row.field,
                             int(row.field.count(u',') + 1)));
    }
}

TEST_F(WindowLayoutTest, OnlyAClickOrSpaceTogglesAnEntry) {
    open();
    numberList()->setEntries(entriesOf(numbered(4)));
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
    EXPECT_EQ(std::tuple(numberList()->picks(), recipientsEdit()->text(), selectedCount()),
              std::tuple(std::vector<bool>({true, false, true, true}),
                         "13806010000,13806010002,13806010003", 3));
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
        {.name = "the help menu", .show = [&] { trigger("noticesAction"); }},
        {.name = "the feedback link", .show = clickFeedback, .source = kBundled + "#report", .shown = ReportPart},
        {.name = "the feedback link again, scrolled back", .show = [&] { clickFeedback(); text()->verticalScrollBar()->setValue(0); clickFeedback(); }, .source = kBundled + "#report", .shown = ReportPart},
        {.name = "a web link in the page", .show = [&] { clickTab(); clickAt(text()->document()->find("mail.10086.cn")); }, .answers = {"opens"}, .log = {"url https://mail.10086.cn/"}},
        {.name = "a web address, no web view module", .show = clickTab, .address = "http://127.0.0.1:9/notices", .source = "http://127.0.0.1:9/notices", .shown = Nothing},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        reset();
        config.feedbackUrl = QString();  // the link then leads to the page's part on problems
        config.infoPageUrl = row.address;
        open();
        desktop->script(row.answers);
        row.show();
        QTest::qWait(100);  // a web view would be made now
        // No web view, no other window, no OpenGL, Qt Quick or web engine loaded.
        EXPECT_EQ(std::tuple(tabs()->currentIndex(), noticesView()->source(), text()->isVisible(),
                             desktop->log(), heavyLibrariesMapped()),
                  std::tuple(2, QUrl(row.source), row.shown != Nothing, row.log, QStringList()));
        EXPECT_EQ(noticesView()->findChild<QWidget*>("noticesWebView"), nullptr);
        // Started as the program starts (window_test_main.cpp): on a desktop, contexts shared
        // for a web view would load OpenGL with the window.
        EXPECT_FALSE(QCoreApplication::testAttribute(Qt::AA_ShareOpenGLContexts));
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
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
    }
}

}  // namespace
}  // namespace zelvo::testing
