#include <QWindow>

#include "app/twips.h"
#include "window_fixture.h"

namespace zelvo::testing {
namespace {

using Kind = ScriptedPlatform::Kind;

const QByteArray kSavedSettings =
    "[UserMsg]\r\nUser=13806012345@139.com\r\nPassword=pw\r\n"
    "[Phone]\r\n0=\xC0\xEE\xC8\xFD,13806012345\r\n1=b,13906012345\r\ntotal=1\r\n";

using StartupTest = WindowTest;

TEST_F(StartupTest, FirstStartIsCentredWithTextsSetAndEverythingEmpty) {
    platform = std::make_unique<ScriptedPlatform>(folder.path(), QSize(15000, 12000));
    open();
    // Start-up knows the window's size; the frame that a desktop adds comes only once shown.
    const QSize outer = window->size();
    EXPECT_EQ(window->x(), (1000 - outer.width()) / 2);
    EXPECT_EQ(window->y(), (800 - outer.height()) / 2);

    EXPECT_EQ(window->lbltitle->text(), QStringLiteral("名称 Zelvo短信发送器"));
    EXPECT_EQ(window->lblversion->text(), QStringLiteral("版本 1.0.0"));
    EXPECT_EQ(window->lblmsg1[0]->text(), QStringLiteral("功能 免费发送移动手机短信."));
    EXPECT_EQ(window->lblmsg1[1]->text(), QStringLiteral("设计 Zelvo软件工作室"));
    EXPECT_EQ(window->lblmsg1[2]->text(), QStringLiteral("主页 ") + config.homepageUrl);
    EXPECT_EQ(window->lblmsg1[3]->text(), QStringLiteral("邮件 ") + config.contactMail);

    EXPECT_TRUE(window->txtFrom->text().isEmpty());
    EXPECT_TRUE(window->txtPass->text().isEmpty());
    EXPECT_TRUE(window->txtSubject->text().isEmpty());
    EXPECT_TRUE(window->txtTextbody->text().isEmpty());
    EXPECT_EQ(window->lstphone->count(), 0);
    EXPECT_EQ(window->SSTab1->currentIndex(), 1);
    EXPECT_EQ(window->CdoConfigPrefix,
              QStringLiteral("http://schemas.microsoft.com/cdo/configuration/"));
    EXPECT_NE(window->MailMessage, nullptr);
    EXPECT_TRUE(platform->calls().empty());
    EXPECT_FALSE(QFile::exists(settingsPath()));
}

TEST_F(StartupTest, WindowLargerThanTheScreenGetsANegativePosition) {
    platform = std::make_unique<ScriptedPlatform>(folder.path(), QSize(3000, 3000));
    open();
    EXPECT_LT(window->x(), 0);
    EXPECT_LT(window->y(), 0);
}

TEST_F(StartupTest, SavedAccountAndListAreLoaded) {
    writeFile(settingsPath(), kSavedSettings);
    open();
    EXPECT_EQ(window->txtFrom->text(), QStringLiteral("13806012345@139.com"));
    EXPECT_EQ(window->txtPass->text(), QStringLiteral("pw"));
    EXPECT_EQ(window->lstphone->entries(),
              QStringList({QStringLiteral("李三,13806012345"), QStringLiteral("b,13906012345")}));
    EXPECT_TRUE(platform->calls().empty());
}

TEST_F(StartupTest, WithoutAMailObjectEverySendEndsInTheFailureBox) {
    writeFile(settingsPath(), kSavedSettings);
    open([]() -> std::unique_ptr<sms::CdoMessage> { throw std::runtime_error("no mail"); });
    ASSERT_EQ(window->MailMessage, nullptr);
    EXPECT_EQ(window->lstphone->count(), 2);  // later steps still ran

    clickEntry(0);
    window->txtTextbody->setText(QStringLiteral("你好"));
    for (int attempt = 0; attempt < 2; ++attempt) {
        platform->expectMsgBox(app::kAnswerOk, [&](const ScriptedPlatform::Call&) {
            EXPECT_EQ(window->Command1->text(), QStringLiteral("Sending..."));
            EXPECT_FALSE(window->Command1->isEnabled());
        });
        QTest::mouseClick(window->Command1, Qt::LeftButton);
        ASSERT_EQ(platform->callsOf(Kind::MsgBox).size(), std::size_t(attempt + 1));
        EXPECT_EQ(platform->calls().back().text,
                  QStringLiteral("短信发送失败,可能是配置信息错误或网络不正常."));
        EXPECT_EQ(window->Command1->text(), QStringLiteral("发送短信"));
        EXPECT_TRUE(window->Command1->isEnabled());
    }
}

// Each way of closing the window, as the user starts it.
enum class ClosePath { TitleBar, ExitButton, ExitMenu };

class ShutdownTest : public WindowTest, public ::testing::WithParamInterface<ClosePath> {
protected:
    void requestClose() {
        switch (GetParam()) {
            case ClosePath::TitleBar:
                window->windowHandle()->close();
                break;
            case ClosePath::ExitButton:
                QTest::mouseClick(window->Command3, Qt::LeftButton);
                break;
            case ClosePath::ExitMenu:
                menuEntry("M_exit")->trigger();
                break;
        }
    }
};

TEST_P(ShutdownTest, CancelKeepsTheWindowAsItWas) {
    writeFile(settingsPath(), kSavedSettings);
    open();
    clickEntry(1);
    window->txtTextbody->setText(QStringLiteral("晚上见"));
    platform->expectMsgBox(app::kAnswerCancel);
    requestClose();

    const auto boxes = platform->callsOf(Kind::MsgBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, QStringLiteral("您确定要退出程序吗?"));
    EXPECT_EQ(boxes[0].title, QStringLiteral("退出提示"));
    EXPECT_EQ(boxes[0].style, 33);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(platform->callsOf(Kind::Shell).empty());
    EXPECT_EQ(platform->endProgramCount(), 0);
    EXPECT_EQ(window->txtTextbody->text(), QStringLiteral("晚上见"));
    EXPECT_EQ(window->txtSubject->text(), QStringLiteral("13906012345"));
    EXPECT_EQ(window->lstphone->picks(), std::vector<bool>({false, true}));
    EXPECT_EQ(window->SelectedCount, 1);
}

TEST_P(ShutdownTest, OkOpensTheHomepageOnceAndEndsWithoutSaving) {
    writeFile(settingsPath(), kSavedSettings);
    open();
    window->txtFrom->setText(QStringLiteral("changed@139.com"));
    window->lstphone->addEntry(QStringLiteral("new,13506012345"));
    platform->expectMsgBox(app::kAnswerOk);
    platform->expectShell();
    platform->expectEndProgram();
    requestClose();

    const auto shells = platform->callsOf(Kind::Shell);
    ASSERT_EQ(shells.size(), 1u);
    EXPECT_EQ(shells[0].text, QStringLiteral("explorer.exe ") + config.homepageUrl);
    EXPECT_EQ(shells[0].style, 2);
    EXPECT_EQ(platform->endProgramCount(), 1);
    EXPECT_EQ(readFile(settingsPath()), kSavedSettings);
}

TEST_P(ShutdownTest, ProgramEndsEvenWhenTheBrowserCannotStart) {
    open();
    platform->expectMsgBox(app::kAnswerOk);
    platform->expectShell(false);
    platform->expectEndProgram();
    requestClose();
    EXPECT_EQ(platform->endProgramCount(), 1);
    EXPECT_EQ(platform->callsOf(Kind::MsgBox).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(EveryPath, ShutdownTest,
                         ::testing::Values(ClosePath::TitleBar, ClosePath::ExitButton,
                                           ClosePath::ExitMenu),
                         [](const auto& info) {
                             switch (info.param) {
                                 case ClosePath::TitleBar:
                                     return std::string("TitleBar");
                                 case ClosePath::ExitButton:
                                     return std::string("ExitButton");
                                 case ClosePath::ExitMenu:
                                     return std::string("ExitMenu");
                             }
                             return std::string();
                         });

}  // namespace
}  // namespace zelvo::testing
