// What the window shows of set.ini and phone books: start-up tells once of a file it could not
// read whole, a save says it is done or why not, and a refused import names the file and keeps
// the list. The files themselves are tested where they are read (tests/settings,
// tests/recipients).
#include <QDir>
#include <QFileInfo>

#include "window_fixture.h"

namespace zelvo::testing {
namespace {

const QString kLi = QStringLiteral("李三,13806012345");

using FilesTest = WindowTest;

// A file that was not read whole loads what it can, is told once, and is kept as set.ini.bak by
// the next save; a save that cannot write says why and leaves the file as it was.
TEST_F(FilesTest, BrokenSettingsAreToldAndTheSaveKeepsThemOrSaysWhyNot) {
    const QString ini = settingsPath();
    const QByteArray broken =
        gbk("[UserMsg]\r\nUser=u@139.com\r\n[Phone]\r\n0=" + kLi + "\r\ntotal=0\r\n") +
        "[UserMsg]\r\nPassword=p\x81\r\n";
    writeFile(ini, broken);
    platform->expectBox();
    open();
    // clang-format off
    EXPECT_EQ(platform->log(), QStringList{"box 提示: 设置文件 " + QDir::toNativeSeparators(ini) + " 未能完整读取, 程序将使用已读出的内容继续运行. 下次保存设置时, 原文件将保留为 set.ini.bak."});
    // clang-format on
    EXPECT_EQ(QStringList({accountEdit()->text(), passwordEdit()->text()}) +
                  textsOf(numberList()->entries()),
              QStringList({"u@139.com", "", kLi}));
    platform->expectBox();
    QTest::mouseClick(control("saveButton"), Qt::LeftButton);
    EXPECT_EQ(platform->log().back(), "ask 提示: 保存设置成功");
    EXPECT_EQ(readFile(ini + ".bak"), broken);

    const QByteArray saved = readFile(ini);
    ASSERT_TRUE(QFile::setPermissions(ini, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    platform->expectBox();
    QTest::mouseClick(control("saveButton"), Qt::LeftButton);
    const auto box = platform->calls().back();
    EXPECT_EQ(platform->log().back().section(u':', 0, 0), "box 提示");
    EXPECT_TRUE(box.text.contains(QDir::toNativeSeparators(ini)) && box.text.contains("只读"))
        << box.text.toStdString();
    EXPECT_EQ(readFile(ini), saved);
    EXPECT_EQ(readFile(ini + ".bak"), broken) << "only the file not read whole is kept";
}

// Another user's set.ini in a folder anyone may write may have been planted there: it is not
// read, start-up says so once, naming the file and why, and the window starts empty.
TEST_F(FilesTest, PlantedSettingsAreToldAndNotRead) {
#ifdef Q_OS_WIN
    GTEST_SKIP() << "the test gives a file to another user with chown, which Windows lacks";
#else
    if (::geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
    const QString ini = settingsPath();
    writeFile(ini, gbk("[UserMsg]\r\nUser=u@139.com\r\n[Phone]\r\n0=" + kLi + "\r\ntotal=0\r\n"));
    ASSERT_EQ(::chown(QFile::encodeName(ini), 65534, 65534), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(folder->path()), 01777), 0);
    platform->expectBox();
    open();
    const QString shown = QDir::toNativeSeparators(ini);
    ASSERT_EQ(platform->log().size(), 1);
    EXPECT_TRUE(platform->log()[0].startsWith("box 提示: 没有读取设置文件 " + shown + ": " + shown +
                                              " 属于别的用户"))
        << platform->log()[0].toStdString();
    EXPECT_EQ(accountEdit()->text() + textsOf(numberList()->entries()).join(u'|'), "");
#endif
}

TEST_F(FilesTest, PhoneBookRefusedByTheMenuKeepsTheListAndSavesIt) {
    // Make: how the book is placed (see place()). Refusal: words of the message. The window
    // itself refuses what is no ordinary, visible file.
    const QByteArray binary = QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16) + gbk("\r\n" + kLi);
    // clang-format off
    const struct {
        const char *name, *make;
        QByteArray bytes;
        const char *refusal, *book = "book.txt";
    } rows[] = {
        {"Binary", "", binary, "不是文本文件"},
        {"Missing", "none", "", "找不到"},
        {"Folder", "dir", "", "找不到"},
        {"Hidden", "", gbk(kLi), "找不到", ".book.txt"},
        {"Fifo", "fifo", "", "找不到"},
        {"BelowAFile", "none", "", "找不到", "set.ini/book.txt"},
    };
    // clang-format on
    const QByteArray saved =
        "[UserMsg]\nUser=u\n[Phone]\n0=old,1\ntotal=0\n";  // a save rewrites it
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const char* why = unplaceable(row.make);
#ifdef Q_OS_WIN
        if (row.book[0] == '.') why = "a leading dot hides a file on Unix alone";
#endif
        if (why) {
            std::cerr << row.name << " skipped: " << why << "\n";
            continue;
        }
        reset();
        writeFile(settingsPath(), saved);
        const QString book = QDir(folder->path()).filePath(row.book);
        ASSERT_TRUE(place(row.make, book, row.bytes));
        open();
        platform->script({"file " + book});
        platform->expectBox();
        menuEntry("importAction")->trigger();

        const auto boxes = platform->callsOf(ScriptedPlatform::Kind::Box);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(platform->log().back().section(u':', 0, 0), "box 提示");
        EXPECT_TRUE(boxes[0].text.contains(QDir::toNativeSeparators(book)) &&
                    boxes[0].text.contains(row.refusal) &&
                    boxes[0].text.contains("号码列表没有改变"))
            << boxes[0].text.toStdString();
        EXPECT_EQ(textsOf(numberList()->entries()), QStringList{"old,1"});
        // The menu entry saves all the same: the list as it was, in the program's form.
        EXPECT_EQ(readFile(settingsPath()),
                  "[UserMsg]\r\nUser=u\r\nPassword=\r\n[Phone]\r\n0=old,1\r\ntotal=0\r\n");
    }
}

}  // namespace
}  // namespace zelvo::testing
