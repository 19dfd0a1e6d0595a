// set.ini and phone books that are broken, huge, odd or not what they seem. Each loads, or is
// refused with a message that names it, and nothing saved before is lost. That each is quick
// is held by this program's short CTest time-out (tests/CMakeLists.txt).
#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>

#include "window_fixture.h"

namespace zelvo::testing {
namespace {

const QString kLi = QStringLiteral("李三,13806012345");
const QString kWang = QStringLiteral("王五,13906054321");
const QByteArray kAccount = "[UserMsg]\r\nUser=u@139.com\r\nPassword=p\r\n[Phone]\r\n";

QByteArray repeated(const QByteArray& piece, qsizetype size) {
    QByteArray bytes;
    while (bytes.size() < size) bytes += piece;
    return bytes;
}

QByteArray utf16(const QString& text, QStringConverter::Encoding encoding) {
    return QStringEncoder(encoding, QStringConverter::Flag::WriteBom).encode(text);
}

unsigned modeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// Puts at path what make names: the bytes (""), "none", "dir", "fifo", "link" (to
// real/target.ini holding the bytes), "linkdir" (to the folder real), "dangling", "loop", or
// "tmpdir" (the bytes, and a folder where the new file is written first).
bool place(const QString& make, const QString& path, const QByteArray& bytes) {
    QDir dir = QFileInfo(path).dir();
    const QString name = QFileInfo(path).fileName();
    if (make.isEmpty() || make == u"tmpdir") writeFile(path, bytes);
    if (make.startsWith(u"link") && !dir.mkdir("real")) return false;
    if (make == u"link") writeFile(dir.filePath("real/target.ini"), bytes);
    if (make == u"tmpdir") return dir.mkdir(name + ".tmp");
    if (make == u"dir") return dir.mkdir(name);
    if (make == u"fifo") return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (make == u"link") return QFile::link("real/target.ini", path);
    if (make == u"linkdir") return QFile::link("real", path);
    if (make == u"dangling") return QFile::link("target.ini", path);
    if (make == u"loop")
        return QFile::link("other.ini", path) && QFile::link(name, dir.filePath("other.ini"));
    return true;
}

using FilesTest = WindowTest;

TEST_F(FilesTest, SettingsFileLoadsAndSavesOrIsRefusedUntouched) {
    const QByteArray saved =
        gbk("[UserMsg]\r\nUser=u@139.com\r\nPassword=pw\r\n[Phone]\r\n0=" + kLi + "\r\n1=" + kWang +
            "\r\ntotal=1\r\n");
    const QStringList two = {"u@139.com", "pw", kLi, kWang};
    const QByteArray huge = repeated("1380601234", 10 << 20);
    // Make: how set.ini is placed (see place()).
    // Shown: account, password, entries. Refusal: words of the save's message; empty: saved.
    // Mode: given to set.ini before; the saved file keeps only its owner's bits. Backup: the
    // file was not read whole: start-up says so once, and the save keeps it as set.ini.bak.
    // clang-format off
    const struct {
        const char *name, *make;
        QByteArray bytes;
        QStringList shown;
        const char* refusal;
        unsigned mode;
        bool backup = false;
    } rows[] = {
        {"AsSaved", "", saved, two, "", 0640},
        {"ReadableByAll", "", saved, two, "", 0644},
        {"NoFile", "none", "", {"", ""}, "", 0600},
        {"EditedByHand", "", "; mine\nUser=x\n[ userMSG ]\n user = u@139.com \nPASSWORD=p\nuser=y\n[PHONE]\n; first\n0 = a \nno equals sign\nTOTAL = 1 \n0=z\n[Phone] ; again\n0=w\n1=w\n", {"u@139.com", "p", "a", ""}, "", 0},
        {"Gaps", "", kAccount + "0=a\r\n2=c\r\ntotal=2\r\n", {"u@139.com", "p", "a", "", "c"}, "", 0},
        {"KeysOutOfOrder", "", kAccount + "2=c\r\n0=a\r\n1=b\r\ntotal=2\r\n", {"u@139.com", "p", "a", "b", "c"}, "", 0},
        {"TotalQuotedWithBlanks", "", kAccount + "0=a\r\n1=b\r\ntotal=\" 1 \"\r\n", {"u@139.com", "p", "a", "b"}, "", 0},
        {"TotalWithPlus", "", kAccount + "0=a\r\n1=b\r\ntotal=+1\r\n", {"u@139.com", "p", "a", "b"}, "", 0},
        {"TotalMinusOne", "", kAccount + "0=a\r\ntotal=-1\r\n", {"u@139.com", "p"}, "", 0},
        {"TotalLetters", "", kAccount + "0=a\r\ntotal=abc\r\n", {"u@139.com", "p"}, "", 0},
        {"TotalEmpty", "", kAccount + "0=a\r\ntotal=\r\n", {"u@139.com", "p"}, "", 0},
        {"TotalFraction", "", kAccount + "0=a\r\ntotal=1.5\r\n", {"u@139.com", "p"}, "", 0},
        {"TotalHex", "", kAccount + "0=a\r\ntotal=0x10\r\n", {"u@139.com", "p"}, "", 0},
        {"TotalAbove16Bits", "", kAccount + "0=a\r\ntotal=32768\r\n", {"u@139.com", "p"}, "", 0},
        {"TotalBelow16Bits", "", kAccount + "0=a\r\ntotal=-32769\r\n", {"u@139.com", "p"}, "", 0},
        {"Quotes", "", kAccount + "0='a'\r\n1=\"\"b\"\"\r\n2=\"c'\r\n3=\"\r\ntotal=3\r\n", {"u@139.com", "p", "a", "\"b\"", "\"c'", "\""}, "", 0},
        {"NoPhoneSection", "", "[UserMsg]\r\nUser=u@139.com\r\nPassword=p\r\n", {"u@139.com", "p"}, "", 0},
        {"PasswordAsTyped", "", "[UserMsg]\r\nPassword=\"  p=;\"x\" \"\r\n[Phone]\r\n0=a,,12x\r\ntotal=0\r\n", {"", "  p=;\"x\" ", "a,,12x"}, "", 0},
        {"GbkAndGb18030", "", kAccount + "0=\xC0\xEE\xC8\xFD,1\r\n1=\x80 \x81\x80\r\n2=\x95\x32\x82\x36\x94\x39\xFC\x36\r\ntotal=2\r\n", {"u@139.com", "p", "李三,1", "€ 亐", "𠀀😀"}, "", 0},
        {"Utf8WithMark", "", "\xEF\xBB\xBF[UserMsg]\nUser=\xE6\x9D\x8E\n", {"李", ""}, "", 0},
        {"Utf16WithMark", "", utf16("[UserMsg]\r\nUser=李\r\n", QStringConverter::Utf16LE), {"李", ""}, "", 0},
        {"InvalidGb18030", "", QByteArray(saved).replace("pw", "p\x81").replace("\xC0\xEE", "\xFF\x81\x30"), {"u@139.com", "p\uFFFD", "\uFFFD\uFFFD0\u4E09,13806012345", kWang}, "", 0, true},
        {"CutOffAtTheEnd", "", saved + "\xC0", two, "", 0, true},
        {"NulBytes", "", QByteArray(saved).replace("pw", QByteArray("p\0w", 3)) + QByteArray("\0\0\r\n", 4), {"u@139.com", QString::fromLatin1("p\0w", 3), kLi, kWang}, "", 0},
        {"TenMegabytesOfComments", "", repeated("; " + QByteArray(98, 'c') + "\r\n", 10 << 20) + saved, two, "", 0},
        {"TenMegabyteEntry", "", QByteArray(saved).replace("total=1", "2=" + huge + "\r\ntotal=2"), two + QStringList(QString::fromLatin1(huge)), "", 0},
        {"Total32767WithoutEntries", "", kAccount + "total=32767\r\n", QStringList({"u@139.com", "p"}) + QStringList(32767, QString()), "", 0},  // what the list holds
        {"OwnerMayOnlyWrite", "", saved, two, "", 0200},
        {"GroupMayOnlyWrite", "", saved, two, "", 0620},
        {"GroupMayRun", "", saved, two, "", 0610},
        {"ReadOnlyForAll", "", saved, two, "只读", 0444},
        {"ReadOnlyForOwner", "", saved, two, "只读", 0400},
        {"OthersMayWriteButNotOwner", "", saved, two, "只读", 0466},
        {"FolderInItsPlace", "dir", "", {"", ""}, "文件夹", 0},
        {"FifoInItsPlace", "fifo", "", {"", ""}, "不是普通文件", 0},
        {"FolderAtTheNewFile", "tmpdir", saved, two, "set.ini.tmp", 0},
        {"LinkToAFile", "link", saved, two, "", 0},
        {"LinkToNothing", "dangling", "", {"", ""}, "", 0600},
        {"LinkToAFolder", "linkdir", "", {"", ""}, "文件夹", 0},
        {"LinkLoop", "loop", "", {"", ""}, "符号链接", 0},
    };
    // clang-format on
    const auto shownBy = [](const app::MainWindow& w) {
        return QStringList({child<QLineEdit>(w, "accountEdit")->text(),
                            child<QLineEdit>(w, "passwordEdit")->text()}) +
               textsOf(child<app::PhoneListBox>(w, "numberList")->entries());
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        reset();
        const QDir dir(folder->path());
        const QString make = row.make, ini = settingsPath();
        ASSERT_TRUE(place(make, ini, row.bytes));
        ASSERT_TRUE(!row.mode || !make.isEmpty() || ::chmod(QFile::encodeName(ini), row.mode) == 0);
        const QString link = QFileInfo(ini).symLinkTarget();
        const auto snapshot = [&] {
            return dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System)
                       .join(u'|') +
                   (QFileInfo(ini).isFile() ? QString::fromLatin1(readFile(ini).toBase64())
                                            : QString());
        };
        const QString before = snapshot();

        if (row.backup) platform->expectMessageBox();
        open();
        EXPECT_EQ(platform->log(),
                  row.backup
                      ? QStringList{"box ?ok 提示: 设置文件 " + QDir::toNativeSeparators(ini) +
                                    " 未能完整读取, 程序将使用已读出的内容继续运行. "
                                    "下次保存设置时, 原文件将保留为 set.ini.bak."}
                      : QStringList());
        EXPECT_EQ(shownBy(*window), row.shown);
        EXPECT_EQ(snapshot(), before) << "loading never writes";

        platform->expectMessageBox();
        QTest::mouseClick(control("saveButton"), Qt::LeftButton);
        const auto box = platform->calls().back();
        if (QString(row.refusal).isEmpty()) {
            EXPECT_EQ(platform->log().sliced(row.backup),
                      QStringList{"box ?okcancel 提示: 保存设置成功"});
            ScriptedPlatform reader(folder->path());
            EXPECT_EQ(shownBy(app::MainWindow(reader, testConfig())), row.shown);
            EXPECT_EQ(QFileInfo(ini).symLinkTarget(), link) << "a link stays the same link";
            EXPECT_TRUE(QFileInfo(ini).isFile());
            EXPECT_TRUE(!row.mode || modeOf(ini) == (row.mode & 0700)) << std::oct << modeOf(ini);
            EXPECT_FALSE(QFileInfo::exists(QFileInfo(ini).canonicalFilePath() + ".tmp"));
            EXPECT_EQ(readFile(ini + ".bak"), row.backup ? row.bytes : "<unreadable>");
        } else {
            EXPECT_EQ(box.title + ScriptedPlatform::nameOf(box.style), "提示?ok");
            EXPECT_TRUE(box.text.contains(QDir::toNativeSeparators(ini)) &&
                        box.text.contains(row.refusal))
                << box.text.toStdString();
            EXPECT_EQ(snapshot(), before);
        }
    }
}

TEST_F(FilesTest, PhoneBookIsTakenByTheMenuOrRefusedWithTheListKept) {
    // Make: how the book is placed (see place()). Refusal: words of the message; empty: the
    // list afterwards. /proc/self/mem is a regular file whose read fails. Piece: how many bytes
    // are read and decoded at a time; a character or a line end split between two pieces
    // must come out whole.
    const QByteArray binary = QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16) +
                              repeated(QByteArray::fromHex("00010a0d2c7f80ff"), 4096) +
                              gbk("\r\n" + kLi);
    const QString both = kLi + "\r\n" + kWang;
    const QByteArray longLine = repeated("1380601234", 5 << 20);
    // clang-format off
    const struct {
        const char *name, *make;
        QByteArray bytes;
        QStringList entries;
        const char *refusal, *book = "book.txt";
        qint64 piece = 1 << 20;
    } rows[] = {
        {"Gbk", "", gbk(both), {kLi, kWang}, ""},
        {"Utf8", "", (kLi + "\n" + kWang + "\n").toUtf8(), {kLi, kWang}, ""},
        {"Utf8WithMark", "", "\xEF\xBB\xBF" + both.toUtf8(), {kLi, kWang}, ""},
        {"Utf8InOneBytePieces", "", "\xEF\xBB\xBF" + both.toUtf8(), {kLi, kWang}, "", "book.txt", 1},
        {"Utf16InOneBytePieces", "", utf16(both, QStringConverter::Utf16BE), {kLi, kWang}, "", "book.txt", 1},
        {"GbkInOneBytePieces", "", "a,0\r\n\xC0\xEE,1\r\n\x80,2\r\x81\x80,3\n\x95\x32\x82\x36,4", {"a,0", "李,1", "€,2", "亐,3", "𠀀,4"}, "", "book.txt", 1},
        {"GbkInThreeBytePieces", "", "a,0\r\n\xC0\xEE,1\r\n\x80,2\r\x81\x80,3\n\x95\x32\x82\x36,4", {"a,0", "李,1", "€,2", "亐,3", "𠀀,4"}, "", "book.txt", 3},
        {"Utf16LittleEndian", "", utf16(both, QStringConverter::Utf16LE), {kLi, kWang}, ""},
        {"Utf16BigEndian", "", utf16(both, QStringConverter::Utf16BE), {kLi, kWang}, ""},
        {"Gb18030FourBytes", "", "\x81\x30\x81\x30,1\r\n", {QString(QChar(0x80)) + ",1"}, ""},
        {"GbkAfterAsciiLines", "", gbk("a,1\r\nb,2\r\n" + kLi), {"a,1", "b,2", kLi}, ""},
        {"EveryLineEnd", "", gbk(kLi + "\r" + kWang + "\n\r" + kLi + "\r\r\n" + kWang + "\n"), {kLi, kWang, kLi, kWang}, ""},
        {"LinesWithoutCommaSkipped", "", gbk("只有名字\r\n" + kLi + "\r\n李三，13806012345\r\n"), {kLi}, ""},
        {"BlanksAndBadNumbersKept", "", "  a , 12345 \r\nx,\r\n,\r\n", {"  a , 12345 ", "x,", ","}, ""},
        {"DuplicatesKept", "", gbk(kLi + "\r\n" + kLi + "\r\n"), {kLi, kLi}, ""},
        {"Empty", "", "", {}, ""},
        {"MarkOnly", "", "\xEF\xBB\xBF", {}, ""},
        {"OnlyLineBreaks", "", "\r\n\r\n\n\r", {}, ""},
        {"FiveMegabyteLine", "", longLine, {}, ""},
        {"FiveMegabyteEntry", "", gbk("李三,") + longLine, {"李三," + QString::fromLatin1(longLine)}, ""},
        {"Binary", "", binary, {}, "不是文本文件"},
        {"NulInGbk", "", QByteArray("a,1\r\n\0b,2", 9), {}, "不是文本文件"},
        {"Utf16WithoutMark", "", QByteArray("a\0,\0001\0", 6), {}, "不是文本文件"},
        {"InvalidInEveryEncoding", "", "\xFF\x80\x81,13806012345\r\n", {}, "编码"},
        {"GbkWithBrokenPair", "", "\xC0\xEE\xC8,1\r\n", {}, "编码"},
        {"LoneHighBytes", "", "\xFF\x80,1\r\n", {}, "编码"},
        {"Utf8MarkThenBrokenUtf8", "", "\xEF\xBB\xBF\xE6\x9D,1\r\n", {}, "编码"},
        {"CutOffAtTheEnd", "", "a,1\r\n\xC0", {}, "编码", "book.txt", 2},
        {"Missing", "none", "", {}, "找不到"},
        {"Folder", "dir", "", {}, "找不到"},
        {"Hidden", "", gbk(kLi), {}, "找不到", ".book.txt"},
        {"Fifo", "fifo", "", {}, "找不到"},
        {"BelowAFile", "none", "", {}, "找不到", "set.ini/book.txt"},
        {"ReadFails", "none", "", {}, "无法读取", "/proc/self/mem"},
    };
    // clang-format on
    const QByteArray saved =
        "[UserMsg]\nUser=u\n[Phone]\n0=old,1\ntotal=0\n";  // a save rewrites it
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        reset();
        writeFile(settingsPath(), saved);
        const QString book = QDir(folder->path()).filePath(row.book);
        ASSERT_TRUE(place(row.make, book, row.bytes));
        config.importPieceBytes = row.piece;
        open();
        platform->script({"file " + book});
        if (*row.refusal) platform->expectMessageBox();
        menuEntry("importAction")->trigger();

        const auto boxes = platform->callsOf(ScriptedPlatform::Kind::MessageBox);
        if (*row.refusal) {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].title + ScriptedPlatform::nameOf(boxes[0].style), "提示?ok");
            EXPECT_TRUE(boxes[0].text.contains(book) && boxes[0].text.contains(row.refusal) &&
                        boxes[0].text.contains("号码列表没有改变"))
                << boxes[0].text.toStdString();
            EXPECT_EQ(textsOf(numberList()->entries()), QStringList{"old,1"});
            // The menu entry saves all the same: the list as it was, in the program's form.
            EXPECT_EQ(readFile(settingsPath()),
                      "[UserMsg]\r\nUser=u\r\nPassword=\r\n[Phone]\r\n0=old,1\r\ntotal=0\r\n");
        } else {
            EXPECT_TRUE(boxes.empty());
            EXPECT_EQ(textsOf(numberList()->entries()), row.entries);
            EXPECT_EQ(savedEntries(folder->path()), row.entries);
        }
    }
}

}  // namespace
}  // namespace zelvo::testing
