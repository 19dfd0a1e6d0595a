#include <QDir>

#include "window_fixture.h"

namespace zelvo::testing {
namespace {

using Kind = ScriptedPlatform::Kind;

using SettingsCommandTest = WindowTest;

TEST_F(SettingsCommandTest, SaveButtonAndMenuWriteTheFileAndConfirm) {
    for (const char* via : {"button", "menu"}) {
        SCOPED_TRACE(via);
        QFile::remove(settingsPath());
        open();
        window->txtFrom->setText(QStringLiteral("13806012345@139.com"));
        window->txtPass->setText(QStringLiteral(" 密码 "));
        window->lstphone->setEntries({QStringLiteral("李三,13806012345"), QStringLiteral("b,1")});
        platform->expectMsgBox(app::kAnswerCancel);
        if (std::string(via) == "button") {
            QTest::mouseClick(window->Command2, Qt::LeftButton);
        } else {
            menuEntry("M_saveset")->trigger();
        }
        const auto box = platform->calls().back();
        EXPECT_EQ(box.text, QStringLiteral("保存设置成功"));
        EXPECT_EQ(box.title, QStringLiteral("提示"));
        EXPECT_EQ(box.style, 33);
        EXPECT_EQ(readFile(settingsPath()),
                  QByteArray(
                      "[UserMsg]\r\nUser=13806012345@139.com\r\nPassword=\" \xC3\xDC\xC2\xEB \"\r\n"
                      "[Phone]\r\n0=\xC0\xEE\xC8\xFD,13806012345\r\n1=b,1\r\ntotal=1\r\n"));
    }
}

TEST_F(SettingsCommandTest, SavedWindowLoadsBackIntoANewWindowUnchanged) {
    open();
    window->txtFrom->setText(QStringLiteral("  13806012345@139.com"));
    window->txtPass->setText(QStringLiteral("\"quoted\" 𠀀 end "));
    QStringList entries;
    for (int i = 0; i < 300; ++i) {
        entries
            << QStringLiteral(" 名字%1 =;[x],1380601%2 ").arg(i).arg(i, 4, 10, QLatin1Char('0'));
    }
    entries << QString() << QString(1000, QChar(0x9F98));
    window->lstphone->setEntries(entries);
    platform->expectMsgBox();
    window->Command2_Click();
    const QByteArray saved = readFile(settingsPath());

    window.reset();
    open();
    EXPECT_EQ(window->txtFrom->text(), QStringLiteral("  13806012345@139.com"));
    EXPECT_EQ(window->txtPass->text(), QStringLiteral("\"quoted\" 𠀀 end "));
    EXPECT_EQ(window->lstphone->entries(), entries);
    platform->expectMsgBox();
    window->Command2_Click();
    EXPECT_EQ(readFile(settingsPath()), saved);
}

TEST_F(SettingsCommandTest, FailedSaveKeepsTheOldFileAndSaysSoInsteadOfSuccess) {
    const QByteArray old = "[UserMsg]\r\nUser=old@139.com\r\nPassword=\r\n[Phone]\r\ntotal=-1\r\n";
    {
        QFile file(settingsPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(old);
    }
    // A folder where the new file would be written first makes the save fail, even as root.
    ASSERT_TRUE(QDir().mkdir(settingsPath() + QStringLiteral(".tmp")));
    open();
    window->txtFrom->setText(QStringLiteral("new@139.com"));
    window->lstphone->setEntries({QStringLiteral("李三,13806012345")});
    platform->expectMsgBox();
    QTest::mouseClick(window->Command2, Qt::LeftButton);

    const auto boxes = platform->callsOf(Kind::MsgBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text, QStringLiteral("保存设置成功"));
    EXPECT_TRUE(boxes[0].text.contains(QDir::toNativeSeparators(settingsPath())))
        << boxes[0].text.toStdString();
    EXPECT_EQ(boxes[0].title, QStringLiteral("提示"));
    EXPECT_EQ(boxes[0].style, 32);
    EXPECT_EQ(readFile(settingsPath()), old);
    EXPECT_EQ(window->txtFrom->text(), QStringLiteral("new@139.com"));
    EXPECT_EQ(window->lstphone->count(), 1);
}

}  // namespace
}  // namespace zelvo::testing
