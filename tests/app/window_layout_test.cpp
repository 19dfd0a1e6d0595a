#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include "app/twips.h"
#include "window_fixture.h"

namespace zelvo::testing {
namespace {

struct ControlRow {
    const char* name;
    const char* container;
    const char* text;  // nullptr: not checked here
    int left, top, width, height;
};

// Positions are in twips, relative to the container's client area.
const ControlRow kControls[] = {
    {"SSTab1", "clientArea", nullptr, 0, 0, 6500, 7200},
    {"Frame1", "page1", "", 120, 480, 6255, 6615},
    {"Label1_5", "Frame1", "移动139邮箱帐号(例如:13806012345@139.com 必须使用移动139邮箱.)", 240,
     360, 5895, 255},
    {"txtFrom", "Frame1", nullptr, 240, 720, 1935, 270},
    {"Label2", "Frame1", "如果你没有139邮箱,可以点击这里注册", 2520, 720, 3135, 255},
    {"Label1_4", "Frame1", "邮箱帐号密码", 240, 1200, 1215, 255},
    {"txtPass", "Frame1", nullptr, 240, 1560, 1935, 270},
    {"Label1_3", "Frame1", "接收短信手机号码(从手机号码列表中选择)", 240, 2040, 5775, 255},
    {"txtSubject", "Frame1", nullptr, 360, 2400, 5535, 735},
    {"Label1_0", "Frame1", "手机号码列表(限制选择10个号码)", 240, 3240, 2895, 255},
    {"Label1_2", "Frame1", "短信内容", 3240, 3240, 735, 255},
    {"lstphone", "Frame1", nullptr, 240, 3600, 2775, 1740},
    {"txtTextbody", "Frame1", nullptr, 3240, 3600, 2775, 1815},
    {"Command1", "Frame1", "发送短信", 240, 5640, 1200, 615},
    {"Command4", "Frame1", "导入电话本", 1800, 5640, 1200, 615},
    {"Command2", "Frame1", "保存设置", 3240, 5640, 1200, 615},
    {"Command3", "Frame1", "退出程序", 4800, 5640, 1200, 615},
    {"Image1", "page0", nullptr, 2040, 1200, 2445, 1740},
    {"lblfeedback", "page0", "意见建议信息反馈", 2160, 3360, 2055, 255},
    {"Frame4", "page0", "软件信息栏", 120, 4560, 6135, 2535},
    {"lblmsg1_1", "Frame4", nullptr, 240, 360, 5775, 255},
    {"lbltitle", "Frame4", nullptr, 240, 720, 5775, 255},
    {"lblversion", "Frame4", nullptr, 240, 1080, 5775, 255},
    {"lblmsg1_0", "Frame4", nullptr, 240, 1440, 5775, 255},
    {"lblmsg1_3", "Frame4", nullptr, 240, 1800, 5775, 255},
    {"lblmsg1_2", "Frame4", nullptr, 240, 2160, 5775, 255},
    {"WebBrowser1", "page2", nullptr, 120, 480, 6255, 6615},
};

QString shownText(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        return label->text();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        return button->text();
    }
    if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
        return frame->title();
    }
    return {};
}

using WindowLayoutTest = WindowTest;

TEST_F(WindowLayoutTest, EveryControlStandsInItsContainerAtItsDesignedPlace) {
    open();
    for (const ControlRow& row : kControls) {
        SCOPED_TRACE(row.name);
        QWidget* widget = control(row.name);
        ASSERT_NE(widget, nullptr);
        ASSERT_NE(widget->parentWidget(), nullptr);
        EXPECT_EQ(widget->parentWidget()->objectName(), QString::fromLatin1(row.container));
        const QRect g = widget->geometry();
        // One pixel is 15 twips; designed values round to the nearest pixel.
        EXPECT_NEAR(app::pixelsToTwips(g.x()), row.left, 8);
        EXPECT_NEAR(app::pixelsToTwips(g.y()), row.top, 8);
        EXPECT_NEAR(app::pixelsToTwips(g.width()), row.width, 8);
        EXPECT_NEAR(app::pixelsToTwips(g.height()), row.height, 8);
        if (row.text) {
            EXPECT_EQ(shownText(widget), QString::fromUtf8(row.text));
        }
    }
}

TEST_F(WindowLayoutTest, WindowHasItsCaptionClientSizeAndStartsOnTheSendingPage) {
    open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Zelvo短信发送器"));
    const QSize client = window->centralWidget()->size();
    EXPECT_EQ(app::pixelsToTwips(client.width()), 6495);
    EXPECT_EQ(app::pixelsToTwips(client.height()), 7200);
    ASSERT_EQ(window->SSTab1->count(), 3);
    EXPECT_EQ(window->SSTab1->currentIndex(), 1);
    const QStringList captions = {QStringLiteral("关于程序"), QStringLiteral("程序界面"),
                                  QStringLiteral("信息公告")};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(window->SSTab1->tabBar()->tabText(i), captions[i]);
    }
    EXPECT_TRUE(window->txtFrom->isVisible());
    EXPECT_FALSE(window->Image1->isVisible());
    const QList<QSize> iconSizes = window->windowIcon().availableSizes();
    EXPECT_TRUE(iconSizes.contains(QSize(32, 32)));
    EXPECT_TRUE(iconSizes.contains(QSize(16, 16)));
    EXPECT_EQ(window->Image1->pixmap().size(), QSize(163, 116));
}

TEST_F(WindowLayoutTest, ColoursFontsAndStatesAreAsDesigned) {
    open();
    const QColor red(255, 0, 0);
    const QColor green(0, 128, 0);
    EXPECT_EQ(control("Label1_5")->palette().color(QPalette::WindowText), red);
    EXPECT_EQ(control("Label1_3")->palette().color(QPalette::WindowText), red);
    EXPECT_EQ(control("Label2")->palette().color(QPalette::WindowText), green);
    for (const char* link : {"Label2", "lblfeedback"}) {
        SCOPED_TRACE(link);
        const QFont font = control(link)->font();
        EXPECT_EQ(font.family(), QStringLiteral("宋体"));
        EXPECT_EQ(font.pointSize(), 9);
        EXPECT_TRUE(font.underline());
        EXPECT_FALSE(font.bold());
    }
    EXPECT_FALSE(window->txtSubject->isEnabled());
    EXPECT_EQ(window->lstphone->selectionMode(), QAbstractItemView::MultiSelection);
    EXPECT_EQ(window->txtPass->echoMode(), QLineEdit::Password);
}

TEST_F(WindowLayoutTest, MenusHoldTheirEntriesWithoutShortcutKeys) {
    open();
    const std::vector<std::pair<QString, QStringList>> expected = {
        {QStringLiteral("菜单管理"), {"M_send:发送短信", "M_saveset:保存设置", "M_exit:退出程序"}},
        {QStringLiteral("手机号码管理"),
         {"M_addphone:手动输入号码", "M_txt:文本文件导入", "M_clsphone:清空号码列表",
          "M_looktxt:查看电话本文件"}},
        {QStringLiteral("软件帮助"), {"M_msg:信息公告", "M_lblbook:故障反馈", "M_about:关于程序"}},
    };
    const QList<QAction*> topLevel = window->menuBar()->actions();
    ASSERT_EQ(topLevel.size(), qsizetype(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        QAction* title = topLevel[qsizetype(i)];
        EXPECT_EQ(title->text(), expected[i].first);
        ASSERT_NE(title->menu(), nullptr);
        QStringList entries;
        for (QAction* entry : title->menu()->actions()) {
            entries << entry->objectName() + ':' + entry->text();
            EXPECT_TRUE(entry->shortcut().isEmpty()) << entry->objectName().toStdString();
        }
        EXPECT_EQ(entries, expected[i].second);
    }
}

TEST_F(WindowLayoutTest, TabWalksThePageInDesignedOrderAndSkipsTheRecipientField) {
    open();
    window->activateWindow();
    window->txtFrom->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), window->txtFrom);
    QStringList visited = {QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 7; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(visited, QStringList({"txtFrom", "txtPass", "txtTextbody", "Command1", "Command2",
                                    "Command3", "lstphone", "Command4"}));

    QTest::mouseClick(window->txtSubject->viewport(), Qt::LeftButton);
    EXPECT_NE(QApplication::focusWidget(), window->txtSubject);
}

TEST_F(WindowLayoutTest, MessageFieldStopsAtSeventyCharactersTypedOrPasted) {
    open();
    app::MultiLineTextBox* body = window->txtTextbody;
    QTest::keyClicks(body, QString(71, QLatin1Char('a')));
    EXPECT_EQ(body->text(), QString(70, QLatin1Char('a')));

    body->setText(QString());
    QApplication::clipboard()->setText(QString(100, QChar(0x4E2D)));  // 中
    body->paste();
    EXPECT_EQ(body->text(), QString(70, QChar(0x4E2D)));

    // A line end counts as two characters, as it does in the text sent.
    body->setText(QString());
    QApplication::clipboard()->setText(QString(68, QLatin1Char('b')) + "\nxyz");
    body->paste();
    EXPECT_EQ(body->text(), QString(68, QLatin1Char('b')) + "\r\n");

    // Never half of a character outside the basic plane.
    body->setText(QString(69, QLatin1Char('c')));
    body->moveCursor(QTextCursor::End);
    QApplication::clipboard()->setText(QStringLiteral("😀"));
    body->paste();
    EXPECT_EQ(body->text(), QString(69, QLatin1Char('c')));
}

TEST_F(WindowLayoutTest, PasswordShowsOneAsteriskPerCharacter) {
    open();
    QTest::keyClicks(window->txtPass, QStringLiteral("s3cr et"));
    EXPECT_EQ(window->txtPass->text(), QStringLiteral("s3cr et"));
    EXPECT_EQ(window->txtPass->displayText(), QStringLiteral("*******"));
}

TEST_F(WindowLayoutTest, WindowReturnsToItsSizeAndMinimisingChangesNothing) {
    open();
    const QSize designed = window->size();
    window->resize(designed + QSize(120, 80));
    QTRY_COMPARE(window->size(), designed);
    window->resize(200, 150);
    QTRY_COMPARE(window->size(), designed);

    window->txtFrom->setText(QStringLiteral("13806012345@139.com"));
    window->showMinimized();
    QTRY_VERIFY(window->isMinimized());
    window->showNormal();
    QTRY_VERIFY(!window->isMinimized());
    EXPECT_EQ(window->size(), designed);
    EXPECT_EQ(window->txtFrom->text(), QStringLiteral("13806012345@139.com"));
}

TEST_F(WindowLayoutTest, FieldsAndListAreAnnouncedByTheirLabels) {
    open();
    const std::pair<const char*, const char*> buddies[] = {
        {"txtFrom", "Label1_5"},  {"txtPass", "Label1_4"},     {"txtSubject", "Label1_3"},
        {"lstphone", "Label1_0"}, {"txtTextbody", "Label1_2"},
    };
    for (const auto& [field, label] : buddies) {
        SCOPED_TRACE(field);
        auto* labelWidget = control<QLabel>(label);
        EXPECT_EQ(labelWidget->buddy(), control(field));
        EXPECT_EQ(control(field)->accessibleName(), labelWidget->text());
    }
}

TEST_F(WindowLayoutTest, KeyboardReachesTheMenuCommands) {
    open();
    window->activateWindow();
    window->txtFrom->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), window->txtFrom);
    // Alt alone moves into the menu bar; Down opens the first menu, Down and Return run its
    // second entry (保存设置).
    platform->expectMsgBox();
    QTest::keyClick(window->txtFrom, Qt::Key_Alt);
    QTRY_VERIFY(window->menuBar()->activeAction() != nullptr);
    QTest::keyClick(window->menuBar(), Qt::Key_Down);
    QMenu* menu = window->findChild<QMenu*>(QStringLiteral("Menu"));
    QTRY_VERIFY(menu->isVisible());
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Return);
    QTRY_COMPARE(platform->callsOf(ScriptedPlatform::Kind::MsgBox).size(), std::size_t(1));
    EXPECT_EQ(platform->calls().back().text, QStringLiteral("保存设置成功"));
}

}  // namespace
}  // namespace zelvo::testing
