#include <QApplication>
#include <QSignalSpy>

#include "window_fixture.h"

namespace zelvo::testing {
namespace {

using Kind = ScriptedPlatform::Kind;
using InfoLinksTest = WindowTest;

TEST_F(InfoLinksTest, HelpMenuSelectsPagesAndFeedbackKeepsTheShownPage) {
    open();
    struct Step {
        const char* entry;
        int pageBefore;
        int pageAfter;
        bool opensFeedback;
    };
    const Step steps[] = {
        {"M_about", 1, 0, false}, {"M_msg", 0, 2, false},    {"M_about", 2, 0, false},
        {"M_about", 0, 0, false}, {"M_lblbook", 1, 1, true}, {"M_lblbook", 2, 2, true},
        {"M_msg", 1, 2, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(std::string(step.entry) + " from page " + std::to_string(step.pageBefore));
        window->SSTab1->setCurrentIndex(step.pageBefore);
        const std::size_t shellsBefore = platform->callsOf(Kind::Shell).size();
        if (step.opensFeedback) {
            platform->expectShell();
        }
        menuEntry(step.entry)->trigger();
        EXPECT_EQ(window->SSTab1->currentIndex(), step.pageAfter);
        const auto shells = platform->callsOf(Kind::Shell);
        ASSERT_EQ(shells.size(), shellsBefore + (step.opensFeedback ? 1 : 0));
        if (step.opensFeedback) {
            EXPECT_EQ(shells.back().text, QStringLiteral("explorer.exe ") + config.feedbackUrl);
            EXPECT_EQ(shells.back().style, 2);
        }
    }
}

TEST_F(InfoLinksTest, EachClickOnALinkOpensItsPageAgain) {
    open();
    for (int click = 0; click < 2; ++click) {
        platform->expectShell();
        QTest::mouseClick(window->Label2, Qt::LeftButton);
    }
    const auto shells = platform->callsOf(Kind::Shell);
    ASSERT_EQ(shells.size(), 2u);
    for (const auto& shell : shells) {
        EXPECT_EQ(shell.text, QStringLiteral("explorer.exe ") + config.registrationUrl);
        EXPECT_EQ(shell.style, 2);
    }
    window->SSTab1->setCurrentIndex(0);
    platform->expectShell();
    QTest::mouseClick(window->lblfeedback, Qt::LeftButton);
    EXPECT_EQ(platform->calls().back().text, QStringLiteral("explorer.exe ") + config.feedbackUrl);
    EXPECT_EQ(window->SSTab1->currentIndex(), 0);
}

TEST_F(InfoLinksTest, ABrowserThatCannotStartIsReported) {
    open();
    platform->expectShell(false);
    platform->expectMsgBox();
    QTest::mouseClick(window->Label2, Qt::LeftButton);
    const auto boxes = platform->callsOf(Kind::MsgBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.contains(config.registrationUrl));
    EXPECT_EQ(boxes[0].title, QStringLiteral("提示"));
}

TEST_F(InfoLinksTest, FeedbackLinkTurnsRedOnTheFirstMovementAndStaysRed) {
    open();
    window->SSTab1->setCurrentIndex(0);
    const QColor red(255, 0, 0);
    EXPECT_NE(window->lblfeedback->palette().color(QPalette::WindowText), red);
    QTest::mouseMove(window->lblfeedback, window->lblfeedback->rect().center());
    QTRY_COMPARE(window->lblfeedback->palette().color(QPalette::WindowText), red);
    QTest::mouseMove(window->Image1, window->Image1->rect().center());
    QTest::qWait(20);
    EXPECT_EQ(window->lblfeedback->palette().color(QPalette::WindowText), red);
}

TEST_F(InfoLinksTest, InformationLinesDoNothingWhenClicked) {
    open();
    window->SSTab1->setCurrentIndex(0);
    for (QWidget* line : std::initializer_list<QWidget*>{window->lblmsg1[2], window->lblmsg1[3],
                                                         window->lbltitle, window->Image1}) {
        QTest::mouseClick(line, Qt::LeftButton);
    }
    EXPECT_TRUE(platform->calls().empty());
}

// The real web view: the bundled notices page, and an address that cannot be loaded.
class NoticesPageTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        config.startWebEngine = true;
    }
};

TEST_F(NoticesPageTest, BundledPageLoadsWithoutDelayingTheWindow) {
    config.infoPageUrl = QStringLiteral("qrc:/info/notices.html");
    open();
    EXPECT_EQ(window->WebBrowser1->requestedUrl(), QUrl(config.infoPageUrl));
    EXPECT_TRUE(window->WebBrowser1->silent());
    QTRY_VERIFY(window->WebBrowser1->view() != nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(
        window->WebBrowser1->view()->property("title").toString() == QStringLiteral("信息公告"),
        30000);
    EXPECT_EQ(window->SSTab1->currentIndex(), 1);
}

TEST_F(NoticesPageTest, UnreachableAddressOpensNoDialog) {
    config.infoPageUrl = QStringLiteral("http://127.0.0.1:9/notices");
    window = std::make_unique<app::frmhome>(*platform, config);
    QSignalSpy finished(window->WebBrowser1, &app::WebBrowser::loadFinished);
    window->show();
    QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), 30000);
    EXPECT_FALSE(finished.first().first().toBool());
    window->SSTab1->setCurrentIndex(2);
    QTest::qWait(200);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(platform->calls().empty());
}

}  // namespace
}  // namespace zelvo::testing
