// Files that are broken, huge or not what they seem. Each one loads, or is refused with a
// message that names it, and nothing that was saved before is lost. That each takes well under
// a second is held by this program's short CTest time-out (tests/CMakeLists.txt).
#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <functional>

#include "window_fixture.h"

static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.left(200).toStdString() << (text.size() > 200 ? "...\"" : "\"");
}

namespace zelvo::testing {
namespace {

using Kind = ScriptedPlatform::Kind;

const QString kLi = QStringLiteral("李三,13806012345");
const QString kWang = QStringLiteral("王五,13906054321");

// A saved file as the program writes it, with the account and two entries.
QByteArray savedFile(const QByteArray& extraListLines = {}) {
    return gbk(QStringLiteral("[UserMsg]\r\nUser=%1\r\nPassword=pw\r\n[Phone]\r\n0=%2\r\n1=%3\r\n")
                   .arg(kTestAccount, kLi, kWang)) +
           extraListLines + "total=1\r\n";
}

// What a window shows of set.ini.
struct Shown {
    QString user;
    QString password;
    QStringList entries;
    friend bool operator==(const Shown&, const Shown&) = default;
};
void PrintTo(const Shown& s, std::ostream* out) {
    *out << s.user.toStdString() << " | " << s.password.toStdString() << " | " << s.entries.size()
         << " entries";
}

Shown shownBy(const app::frmhome& window) {
    return {window.txtFrom->text(), window.txtPass->text(), window.lstphone->entries()};
}

// ---- set.ini ---------------------------------------------------------------------------------

struct SettingsCase {
    const char* name;
    // Puts the broken set.ini (or what stands in its place) into the program's folder.
    std::function<void(const QDir& folder)> make;
    // What the window shows after start-up.
    std::function<Shown()> loaded;
    // Empty when saving over it works; otherwise words the refusal must contain.
    QString refusal;
};
void PrintTo(const SettingsCase& c, std::ostream* out) {
    *out << c.name;
}

class BrokenSettingsTest : public WindowTest, public ::testing::WithParamInterface<SettingsCase> {
protected:
    // The bytes at set.ini, or where its link points, or the folder's listing.
    QByteArray snapshot() const {
        const QFileInfo info(settingsPath());
        if (info.isDir())
            return QDir(settingsPath())
                       .entryList(QDir::NoDotAndDotDot | QDir::AllEntries)
                       .join(u'|')
                       .toUtf8() +
                   readFile(settingsPath() + "/keep.txt");
        return (info.isSymLink() ? "link to " + info.symLinkTarget().toUtf8() + ": "
                                 : QByteArray()) +
               readFile(settingsPath());
    }
};

TEST_P(BrokenSettingsTest, LoadsOrRefusesAndLosesNothing) {
    const SettingsCase& c = GetParam();
    c.make(QDir(folder.path()));
    const QByteArray before = snapshot();
    const QFileInfo placed(settingsPath());
    const QString linkTarget = placed.isSymLink() ? placed.symLinkTarget() : QString();

    open();
    EXPECT_TRUE(platform->calls().empty()) << "start-up says nothing";
    const Shown loaded = shownBy(*window);
    EXPECT_EQ(loaded, c.loaded());
    EXPECT_EQ(snapshot(), before) << "loading never writes";

    platform->expectMsgBox();
    QTest::mouseClick(window->Command2, Qt::LeftButton);
    const auto box = platform->calls().back();
    if (c.refusal.isEmpty()) {
        EXPECT_EQ(box.text, QStringLiteral("保存设置成功"));
        // Everything the window held is in the file again.
        ScriptedPlatform reader(folder.path());
        const app::frmhome reloaded(reader, testConfig());
        EXPECT_EQ(shownBy(reloaded), loaded);
        // A link stays the same link, and now leads to the saved file.
        const QFileInfo saved(settingsPath());
        EXPECT_EQ(saved.isSymLink() ? saved.symLinkTarget() : QString(), linkTarget);
        EXPECT_TRUE(saved.isFile());
    } else {
        EXPECT_TRUE(box.text.contains(QDir::toNativeSeparators(settingsPath())) &&
                    box.text.contains(c.refusal))
            << box.text.toStdString();
        EXPECT_EQ(snapshot(), before);
    }
}

QByteArray tenMegabytes(const QByteArray& line) {
    QByteArray bytes;
    bytes.reserve(10 * 1024 * 1024 + line.size());
    while (bytes.size() < 10 * 1024 * 1024) bytes += line;
    return bytes;
}

Shown accountAndTwo() {
    return {kTestAccount, "pw", {kLi, kWang}};
}

INSTANTIATE_TEST_SUITE_P(
    Files, BrokenSettingsTest,
    ::testing::Values(
        SettingsCase{"TenMegabytesOfComments",
                     [](const QDir& d) {
                         writeFile(d.filePath("set.ini"),
                                   savedFile(tenMegabytes("; " + QByteArray(98, 'c') + "\r\n")));
                     },
                     accountAndTwo,
                     {}},
        SettingsCase{"TenMegabyteEntry",
                     [](const QDir& d) {
                         writeFile(d.filePath("set.ini"),
                                   savedFile("2=" + tenMegabytes("1380601234") + "\r\n")
                                       .replace("total=1", "total=2"));
                     },
                     [] {
                         Shown s = accountAndTwo();
                         s.entries << QString::fromLatin1(tenMegabytes("1380601234"));
                         return s;
                     },
                     {}},
        SettingsCase{
            "NulBytes",
            [](const QDir& d) {
                writeFile(
                    d.filePath("set.ini"),
                    savedFile(QByteArray("\0\0\r\n", 4)).replace("pw", QByteArray("p\0w", 3)));
            },
            [] {
                return Shown{kTestAccount, QString::fromLatin1("p\0w", 3), {kLi, kWang}};
            },
            {}},
        SettingsCase{
            "InvalidGb18030",
            [](const QDir& d) {
                writeFile(d.filePath("set.ini"),
                          savedFile().replace("pw", "p\x81").replace("\xC0\xEE", "\xFF\x81\x30"));
            },
            [] {
                return Shown{kTestAccount,
                             QStringLiteral("p\uFFFD"),
                             {QStringLiteral("\uFFFD\uFFFD0\u4E09,13806012345"), kWang}};
            },
            {}},
        SettingsCase{"Total32767WithoutEntries",
                     [](const QDir& d) {
                         writeFile(d.filePath("set.ini"), gbk("[UserMsg]\r\nUser=" + kTestAccount +
                                                              "\r\n[Phone]\r\ntotal=32767\r\n"));
                     },
                     // Every index the file names, 0 to 32767, as an empty entry.
                     [] {
                         return Shown{kTestAccount, {}, QStringList(32768, QString())};
                     },
                     {}},
        SettingsCase{"FolderInItsPlace",
                     [](const QDir& d) {
                         ASSERT_TRUE(d.mkdir("set.ini"));
                         writeFile(d.filePath("set.ini/keep.txt"), "kept");
                     },
                     [] { return Shown{}; }, QStringLiteral("文件夹")},
        SettingsCase{
            "ReadOnly",
            [](const QDir& d) {
                writeFile(d.filePath("set.ini"), savedFile());
                ASSERT_EQ(::chmod(QFile::encodeName(d.filePath("set.ini")).constData(), 0444), 0);
            },
            accountAndTwo, QStringLiteral("只读")},
        SettingsCase{"LinkToAFile",
                     [](const QDir& d) {
                         ASSERT_TRUE(d.mkdir("real"));
                         writeFile(d.filePath("real/target.ini"), savedFile());
                         ASSERT_TRUE(QFile::link("real/target.ini", d.filePath("set.ini")));
                     },
                     accountAndTwo,
                     {}},
        SettingsCase{
            "LinkToNothing",
            [](const QDir& d) { ASSERT_TRUE(QFile::link("target.ini", d.filePath("set.ini"))); },
            [] { return Shown{}; },
            {}},
        SettingsCase{"LinkToAFolder",
                     [](const QDir& d) {
                         ASSERT_TRUE(d.mkdir("real"));
                         ASSERT_TRUE(QFile::link("real", d.filePath("set.ini")));
                     },
                     [] { return Shown{}; }, QStringLiteral("文件夹")},
        SettingsCase{"LinkLoop",
                     [](const QDir& d) {
                         ASSERT_TRUE(QFile::link("other.ini", d.filePath("set.ini")));
                         ASSERT_TRUE(QFile::link("set.ini", d.filePath("other.ini")));
                     },
                     [] { return Shown{}; }, QStringLiteral("符号链接")}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- phone books -----------------------------------------------------------------------------

struct BookCase {
    const char* name;
    QByteArray bytes;
    QStringList entries;  // what the list holds afterwards when the book is taken
    QString refusal;      // otherwise, words the refusal must contain
};
void PrintTo(const BookCase& c, std::ostream* out) {
    *out << c.name;
}

class BrokenPhoneBookTest : public WindowTest, public ::testing::WithParamInterface<BookCase> {};

// Through the menu entry, which saves the list after an import. A readable book without a
// single "name,number" line is taken and empties the list, as an import replaces the list;
// a book that cannot be read as text is refused and the saved list stays.
TEST_P(BrokenPhoneBookTest, IsTakenOrRefusedWithAClearMessage) {
    const BookCase& c = GetParam();
    writeFile(settingsPath(), savedFile());
    const QString book = folder.filePath("book.txt");
    writeFile(book, c.bytes);
    open();
    ASSERT_EQ(window->lstphone->entries(), QStringList({kLi, kWang}));

    platform->expectOpenFileDialog(book);
    if (!c.refusal.isEmpty()) platform->expectMsgBox();
    menuEntry("M_txt")->trigger();

    const auto boxes = platform->callsOf(Kind::MsgBox);
    if (c.refusal.isEmpty()) {
        EXPECT_EQ(boxes.size(), 0u);
        EXPECT_EQ(window->lstphone->entries(), c.entries);
        EXPECT_EQ(savedEntries(folder.path()), c.entries);
    } else {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_TRUE(boxes[0].text.contains(book) && boxes[0].text.contains(c.refusal))
            << boxes[0].text.toStdString();
        EXPECT_EQ(window->lstphone->entries(), QStringList({kLi, kWang}));
        EXPECT_EQ(readFile(settingsPath()), savedFile());
    }
}

QByteArray binaryBook() {
    // The start of a PNG picture, then bytes of every value: commas and line ends included.
    QByteArray bytes("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16);
    for (int round = 0; round < 64; ++round)
        for (int i = 0; i < 256; ++i) bytes += char((i * 7 + round) & 0xFF);
    return bytes + gbk("\r\n" + kLi + "\r\n");
}

QByteArray fiveMegabyteLine(const QByteArray& start) {
    QByteArray line = start;
    while (line.size() < 5 * 1024 * 1024) line += "1380601234";
    return line;
}

INSTANTIATE_TEST_SUITE_P(
    Books, BrokenPhoneBookTest,
    ::testing::Values(
        BookCase{"Binary", binaryBook(), {}, QStringLiteral("不是文本文件")},
        BookCase{"Empty", QByteArray(), {}, {}}, BookCase{"OnlyLineBreaks", "\r\n\r\n\n\r", {}, {}},
        BookCase{"SingleFiveMegabyteLineWithoutComma", fiveMegabyteLine("李三"), {}, {}},
        BookCase{"SingleFiveMegabyteLineWithComma",
                 fiveMegabyteLine(gbk("李三,")),
                 {QString::fromUtf8(fiveMegabyteLine("李三,"))},
                 {}},
        BookCase{"OnlyFullWidthCommas", gbk(QStringLiteral("李三，13806012345\r\n")), {}, {}},
        BookCase{"InvalidInEveryEncoding",
                 "\xFF\x80\x81,13806012345\r\n\x80\xFF\xFE,13906054321\r\n",
                 {},
                 QStringLiteral("编码")},
        BookCase{"GoodLinesAfterABadOne", gbk("只有名字\r\n" + kLi + "\r\n"), {kLi}, {}},
        BookCase{"Gb18030FourBytes", "\x81\x30\x81\x30,1\r\n", {QString(QChar(0x80)) + ",1"}, {}},
        BookCase{"GbkWithBrokenPair", "\xC0\xEE\xC8,1\r\n", {}, QStringLiteral("编码")},
        BookCase{"LoneHighBytes", "\xFF\x80,1\r\n", {}, QStringLiteral("编码")},
        BookCase{"Utf8BomThenBrokenUtf8", "\xEF\xBB\xBF\xE6\x9D,1\r\n", {}, QStringLiteral("编码")},
        BookCase{"NulInGbk", QByteArray("a,1\r\n\0b,2", 9), {}, QStringLiteral("不是文本文件")},
        BookCase{
            "Utf16WithoutBom", QByteArray("a\0,\0001\0", 6), {}, QStringLiteral("不是文本文件")}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zelvo::testing
