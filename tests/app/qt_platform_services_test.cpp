#include "app/qt_platform_services.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/application_setup.h"

namespace zelvo::testing {
namespace {

// Answers the next modal dialog from inside its event loop, as a user would.
void whenModalShows(std::function<void(QWidget*)> answer) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer = std::move(answer)] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        }
    });
    timer->start();
}

struct BoxCase {
    int style;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton pressed;
    int answer;
};

TEST(QtPlatformServicesTest, MessageBoxStylesShowTheirIconAndButtonsAndReturnTheAnswer) {
    const BoxCase cases[] = {
        {0, QMessageBox::NoIcon, QMessageBox::Ok, QMessageBox::Ok, 1},
        {32, QMessageBox::Question, QMessageBox::Ok, QMessageBox::Ok, 1},
        {33, QMessageBox::Question, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok, 1},
        {33, QMessageBox::Question, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel, 2},
    };
    app::QtPlatformServices services;
    for (const BoxCase& c : cases) {
        SCOPED_TRACE(c.style);
        bool seen = false;
        whenModalShows([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            seen = true;
            EXPECT_EQ(box->windowTitle(), QStringLiteral("退出提示"));
            EXPECT_EQ(box->text(), QStringLiteral("您确定要退出程序吗?"));
            EXPECT_EQ(box->accessibleName(), QStringLiteral("退出提示"));
            EXPECT_EQ(box->icon(), c.icon);
            EXPECT_EQ(box->standardButtons(), c.buttons);
            box->button(c.pressed)->click();
        });
        EXPECT_EQ(services.MsgBox(QStringLiteral("您确定要退出程序吗?"), c.style,
                                  QStringLiteral("退出提示")),
                  c.answer);
        EXPECT_TRUE(seen);
    }
}

TEST(QtPlatformServicesTest, EscapeInAConfirmationIsCancel) {
    app::QtPlatformServices services;
    whenModalShows([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    EXPECT_EQ(services.MsgBox(QStringLiteral("?"), 33, QStringLiteral("提示")), 2);
}

TEST(QtPlatformServicesTest, InputBoxReturnsTheTextOrNothingWhenCancelled) {
    app::QtPlatformServices services;
    for (const bool confirm : {true, false}) {
        whenModalShows([confirm](QWidget* modal) {
            auto* dialog = qobject_cast<QInputDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("手动添加号码"));
            EXPECT_EQ(dialog->labelText(), QStringLiteral("提示"));
            EXPECT_EQ(dialog->textValue(), QStringLiteral("李三,13806012345"));
            dialog->setTextValue(QStringLiteral("王五,13906054321"));
            confirm ? dialog->accept() : dialog->reject();
        });
        EXPECT_EQ(services.InputBox(QStringLiteral("提示"), QStringLiteral("手动添加号码"),
                                    QStringLiteral("李三,13806012345")),
                  confirm ? QStringLiteral("王五,13906054321") : QString());
    }
}

TEST(QtPlatformServicesTest, FileTestsTellOrdinaryFromHiddenFiles) {
    QTemporaryDir folder;
    for (const char* name : {"plain.ini", ".hidden.ini"}) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    app::QtPlatformServices services;
    EXPECT_TRUE(services.FileExists(folder.filePath("plain.ini"), false));
    EXPECT_FALSE(services.FileExists(folder.filePath(".hidden.ini"), false));
    EXPECT_TRUE(services.FileExists(folder.filePath(".hidden.ini"), true));
    EXPECT_FALSE(services.FileExists(folder.path(), true));  // a folder is no file
    EXPECT_TRUE(services.DeleteFile(folder.filePath("plain.ini")));
    EXPECT_FALSE(services.FileExists(folder.filePath("plain.ini"), true));
}

TEST(QtPlatformServicesTest, ApplicationFactsComeFromTheBuild) {
    app::QtPlatformServices services;
    const app::ApplicationFacts facts = services.AppFacts();
    EXPECT_EQ(facts.title, QStringLiteral("Zelvo短信发送器"));
    EXPECT_EQ(facts.major, 1);
    EXPECT_EQ(facts.minor, 0);
    EXPECT_EQ(facts.revision, 0);
    EXPECT_EQ(facts.folder, QCoreApplication::applicationDirPath());
    // The offscreen screen is 800 by 800 pixels.
    EXPECT_EQ(services.ScreenSizeTwips(), QSize(12000, 12000));
}

TEST(QtPlatformServicesTest, StandardButtonsSpeakTheSystemLanguage) {
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    app::installTranslations(*qApp);
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Ok)->text(), QStringLiteral("确定"));
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
}

}  // namespace
}  // namespace zelvo::testing
