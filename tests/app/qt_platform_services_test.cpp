// The desktop's own dialogs behind the platform interface: what each box shows, the answer it
// returns, and the standard buttons in the system's language.
#include "app/qt_platform_services.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "app/application_setup.h"
#include "window_fixture.h"

namespace zelvo::testing {
namespace {

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
    app::QtPlatformServices services;
    const struct {
        const char* name;
        std::function<app::Answer()> show;
        B::Icon icon;
        B::StandardButtons buttons;
        std::function<void(QMessageBox*)> press;
        app::Answer answer;
    } boxes[] = {
        // clang-format off
        {.name = "TellWithoutIcon", .show = [&] { services.tell("您确定要退出程序吗?", "退出提示", app::NoticeIcon::None); return app::Answer::Ok; }, .icon = B::NoIcon, .buttons = B::Ok, .press = [](B* b) { b->button(B::Ok)->click(); }, .answer = app::Answer::Ok},
        {.name = "Tell", .show = [&] { services.tell("您确定要退出程序吗?", "退出提示", app::NoticeIcon::Question); return app::Answer::Ok; }, .icon = B::Question, .buttons = B::Ok, .press = [](B* b) { b->button(B::Ok)->click(); }, .answer = app::Answer::Ok},
        {.name = "AskOk", .show = [&] { return services.ask("您确定要退出程序吗?", "退出提示"); }, .icon = B::Question, .buttons = B::Ok | B::Cancel, .press = [](B* b) { b->button(B::Ok)->click(); }, .answer = app::Answer::Ok},
        {.name = "AskCancel", .show = [&] { return services.ask("您确定要退出程序吗?", "退出提示"); }, .icon = B::Question, .buttons = B::Ok | B::Cancel, .press = [](B* b) { b->button(B::Cancel)->click(); }, .answer = app::Answer::Cancel},
        {.name = "AskEscape", .show = [&] { return services.ask("您确定要退出程序吗?", "退出提示"); }, .icon = B::Question, .buttons = B::Ok | B::Cancel, .press = [](B* b) { QTest::keyClick(b, Qt::Key_Escape); }, .answer = app::Answer::Cancel},
        // clang-format on
    };
    for (const auto& c : boxes) {
        SCOPED_TRACE(c.name);
        whenModalShows([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->windowTitle() + box->accessibleName(), "退出提示退出提示");
            EXPECT_EQ(box->text(), QStringLiteral("您确定要退出程序吗?"));
            EXPECT_EQ(box->icon(), c.icon);
            EXPECT_EQ(box->standardButtons(), c.buttons);
            c.press(box);
        });
        EXPECT_EQ(c.show(), c.answer);
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
        EXPECT_EQ(services.askForText("提示", "手动添加号码", "李三,13806012345"),
                  confirm ? QStringLiteral("王五,13906054321") : QString());
    }
    const app::ApplicationFacts facts = services.applicationFacts();
    EXPECT_EQ(facts.title +
                  QStringLiteral(" %1.%2.%3").arg(facts.major).arg(facts.minor).arg(facts.revision),
              QStringLiteral("Zelvo短信发送器 1.0.0"));
    EXPECT_EQ(facts.folder, QCoreApplication::applicationDirPath());
#ifdef Q_OS_WIN
    EXPECT_EQ(services.screenSize(), QSize(1280, 1024));  // the display of test-windows.sh
#else
    EXPECT_EQ(services.screenSize(), QSize(800, 800));  // the offscreen platform's screen
#endif

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
    services.tellWithDetails(kSendFailed, "提示", "原因");
}

}  // namespace
}  // namespace zelvo::testing
