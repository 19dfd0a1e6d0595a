// What the window shows of set.ini: start-up tells once of a file it could not read whole or
// would not read, and a save says it is done or why not. The file itself is tested where it is
// read (tests/settings); refused phone books are on the commands' table.
// A broken set.ini loads or is refused at once: a short limit catches one that hangs.
// Time-out: 90 s
#include <QDir>

#include "window_fixture.h"

namespace zelvo::testing {
namespace {

const QByteArray kReadable =
    gbk("[UserMsg]\r\nUser=u@139.com\r\n[Phone]\r\n0=" + kLi + "\r\ntotal=0\r\n");

using FilesTest = WindowTest;

// A file that was not read whole loads what it can, is told once, and is kept as set.ini.bak by
// the next save; a save that cannot write says why and leaves the file as it was.
TEST_F(FilesTest, BrokenSettingsAreToldAndTheSaveKeepsThemOrSaysWhyNot) {
    const QString ini = settingsPath();
    const QByteArray broken = kReadable + "[UserMsg]\r\nPassword=p\x81\r\n";
    writeFile(ini, broken);
    desktop->expectBox();
    open();
    // clang-format off
    EXPECT_EQ(desktop->log(), QStringList{"box 提示: 设置文件 " + QDir::toNativeSeparators(ini) + " 未能完整读取, 程序将使用已读出的内容继续运行. 下次保存设置时, 原文件将保留为 set.ini.bak."});
    // clang-format on
    EXPECT_EQ(QStringList({accountEdit()->text(), passwordEdit()->text()}) +
                  textsOf(numberList()->entries()),
              QStringList({"u@139.com", "", kLi}));
    // The first save keeps the broken file; a later one, of a changed account, keeps it still.
    for (const QString account : {"u@139.com", "v@139.com"}) {
        accountEdit()->setText(account);
        desktop->expectBox();
        QTest::mouseClick(control("saveButton"), Qt::LeftButton);
        EXPECT_EQ(desktop->log().back(), "ask 提示: 保存设置成功");
        EXPECT_TRUE(readFile(ini).contains(account.toUtf8()));
        EXPECT_EQ(readFile(ini + ".bak"), broken) << "only the file not read whole is kept";
    }

    const QByteArray saved = readFile(ini);
    ASSERT_TRUE(QFile::setPermissions(ini, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    desktop->expectBox();
    QTest::mouseClick(control("saveButton"), Qt::LeftButton);
    const QString box = desktop->log().back();
    EXPECT_TRUE(box.startsWith("box 提示: ") && box.contains(QDir::toNativeSeparators(ini)) &&
                box.contains("只读"))
        << box.toStdString();
    EXPECT_EQ(readFile(ini), saved);
}

// Another user's set.ini in a folder anyone may write may have been planted there: it is not
// read, start-up says so once, naming the file and why, and the window starts empty.
TEST_F(FilesTest, PlantedSettingsAreToldAndNotRead) {
#ifdef Q_OS_WIN
    GTEST_SKIP() << "the test gives a file to another user with chown, which Windows lacks";
#else
    if (::geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
    const QString ini = settingsPath();
    writeFile(ini, kReadable);
    ASSERT_EQ(::chown(QFile::encodeName(ini), 65534, 65534), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(folder->path()), 01777), 0);
    desktop->expectBox();
    open();
    const QString shown = QDir::toNativeSeparators(ini);
    ASSERT_EQ(desktop->log().size(), 1);
    EXPECT_TRUE(desktop->log()[0].startsWith("box 提示: 没有读取设置文件 " + shown + ": " + shown +
                                             " 属于别的用户"))
        << desktop->log()[0].toStdString();
    EXPECT_EQ(accountEdit()->text() + textsOf(numberList()->entries()).join(u'|'), "");
#endif
}

}  // namespace
}  // namespace zelvo::testing
