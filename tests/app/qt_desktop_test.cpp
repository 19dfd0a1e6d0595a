// The desktop's own dialogs behind the desktop interface: what each box shows, the answer it
// returns, and the standard buttons in the system's language.
#include "app/qt_desktop.h"

#include <QAbstractButton>
#include <QInputDialog>
#include <QMessageBox>
#include <QTimer>

#include "app/application_setup.h"
#include "window_fixture.h"

namespace zelvo::testing {
namespace {

// Answers the next modal dialog from inside its event loop, as a user would.
void whenModalShows(std::function<void(QWidget*)> answer) {
    QTimer::singleShot(0,
                       [answer = std::move(answer)] { answer(QApplication::activeModalWidget()); });
}

// The standard buttons read as the system's language has them, once the program's translations
// are in.
TEST(QtDesktopTest, DialogsShowWhatTheyAreGivenAndReturnTheAnswer) {
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    app::installTranslations(*qApp);
    using B = QMessageBox;
    using enum app::Answer;
    app::QtDesktop services;
    const QString text = QStringLiteral("您确定要退出程序吗?"), title = QStringLiteral("退出提示");
    const auto ask = [&] { return services.ask(text, title); };
    const QString markup = QStringLiteral("找不到电话本文件 <img width=12000 height=12000>x.txt");
    const struct {
        const char* name;
        std::function<app::Answer()> show;
        B::Icon icon = B::Question;
        QStringList buttons;                    // their texts, sorted
        B::StandardButton click = B::NoButton;  // or Esc
        app::Answer answer = Ok;
        QString details = {};
        QString shown = {};  // the box's text when not text
    } boxes[] = {
        // clang-format off
        {.name = "TellWithoutIcon", .show = [&] { services.tell(text, title, app::NoticeIcon::None); return Ok; }, .icon = B::NoIcon, .buttons = {"确定"}, .click = B::Ok},
        {.name = "TellWithDetailsEscape", .show = [&] { services.tellWithDetails(text, title, "原因"); return Ok; }, .buttons = {"显示详情...", "确定"}, .details = "原因"},
        {.name = "TellMarkupAsItIs", .show = [&] { services.tell(markup, title, app::NoticeIcon::Question); return Ok; }, .buttons = {"确定"}, .shown = markup},
        {.name = "AskOk", .show = ask, .buttons = {"取消", "确定"}, .click = B::Ok},
        {.name = "AskEscape", .show = ask, .buttons = {"取消", "确定"}, .answer = Cancel},
        // clang-format on
    };
    for (const auto& c : boxes) {
        SCOPED_TRACE(c.name);
        whenModalShows([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            QStringList buttons;
            for (QAbstractButton* button : box->buttons()) buttons << button->text();
            buttons.sort();
            EXPECT_EQ(QStringList({box->windowTitle(), box->accessibleName(), box->text(),
                                   box->detailedText()}),
                      QStringList({title, title, c.shown.isEmpty() ? text : c.shown, c.details}));
            // Markup in a file name or a reply is shown as typed, never drawn.
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            EXPECT_EQ(std::tuple(box->icon(), buttons), std::tuple(c.icon, c.buttons));
            if (c.click == B::NoButton) {
                QTest::keyClick(box, Qt::Key_Escape);
            } else {
                box->button(c.click)->click();
            }
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
    EXPECT_EQ(services.screenSize(), QSize(800, 800));  // the offscreen desktop's screen
#endif
}

}  // namespace
}  // namespace zelvo::testing
