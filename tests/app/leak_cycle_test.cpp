// A whole session of the window under the leak checker: start, pick, send, save and close.
// In the sanitizer build the checker runs once the window is gone, and a leak fails the test
// (and the program's exit); other builds still check that the session did its work.
#include <QFile>

#include "support/smtp_peer.h"
#include "window_fixture.h"

#if defined(__SANITIZE_ADDRESS__)
#define ZELVO_LEAK_CHECKER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZELVO_LEAK_CHECKER 1
#endif
#endif
#ifdef ZELVO_LEAK_CHECKER
#include <sanitizer/lsan_interface.h>
#endif

namespace zelvo::testing {
namespace {

using Kind = ScriptedPlatform::Kind;

using LeakCycleTest = WindowTest;

TEST_F(LeakCycleTest, StartPickSendSaveAndCloseLeaveNothingBehind) {
    const SmtpPeer server({});
    config.smtpPort = server.port();
    {
        QFile file(settingsPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(
            "[UserMsg]\r\nUser=13806012345@139.com\r\nPassword=p@ss word\r\n"
            "[Phone]\r\n0=a,13806012345\r\n1=b,13906054321\r\ntotal=1\r\n");
    }

    open();
    clickEntry(1);
    type(window->txtTextbody, QStringLiteral("晚上见"));
    platform->expectMsgBox();
    QTest::mouseClick(window->Command1, Qt::LeftButton);
    platform->expectMsgBox();
    QTest::mouseClick(window->Command2, Qt::LeftButton);
    platform->expectMsgBox(app::kAnswerOk);
    platform->expectShell();
    platform->expectEndProgram();
    QTest::mouseClick(window->Command3, Qt::LeftButton);

    const auto boxes = platform->callsOf(Kind::MsgBox);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, QStringLiteral("短信发送成功."));
    EXPECT_EQ(boxes[1].text, QStringLiteral("保存设置成功"));
    EXPECT_EQ(platform->endProgramCount(), 1);
    EXPECT_FALSE(window->isVisible());
    ASSERT_EQ(server.events("mail").size(), 1);
    EXPECT_EQ(server.events("mail")[0]["subject"].toString(), QStringLiteral("13906054321"));

    window.reset();
    platform.reset();
#ifdef ZELVO_LEAK_CHECKER
    EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0) << "the leak report is above";
#endif
}

}  // namespace
}  // namespace zelvo::testing
