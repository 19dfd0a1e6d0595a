#include "recipients/phone_book.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <ostream>

#include "recipients/number_entry.h"

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#endif

static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
static void PrintTo(const QStringList& lines, std::ostream* out) {
    *out << '[' << lines.join(u'|').toStdString() << ']';
}

namespace zelvo::recipients {
namespace {

using namespace Qt::StringLiterals;

struct DecodeCase {
    const char* name;
    QByteArray bytes;
    QString text;
};
void PrintTo(const DecodeCase& c, std::ostream* out) {
    *out << c.name;
}

class DecodePhoneBookTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodePhoneBookTest, PicksTheEncoding) {
    EXPECT_EQ(decodePhoneBook(GetParam().bytes), GetParam().text);
}

// "李三,1" in each encoding, spelled out byte by byte.
INSTANTIATE_TEST_SUITE_P(
    Files, DecodePhoneBookTest,
    ::testing::Values(
        DecodeCase{"Empty", QByteArray(), QString()},
        DecodeCase{"Ascii", "a,13806012345\r\n"_ba, u"a,13806012345\r\n"_s},
        DecodeCase{"Utf8", "\xE6\x9D\x8E\xE4\xB8\x89,1"_ba, u"李三,1"_s},
        DecodeCase{"Utf8Bom", "\xEF\xBB\xBF\xE6\x9D\x8E\xE4\xB8\x89,1"_ba, u"李三,1"_s},
        DecodeCase{"Utf8BomOnly", "\xEF\xBB\xBF"_ba, QString()},
        DecodeCase{"Utf16LeBom", QByteArray("\xFF\xFE\x4E\x67\x09\x4E\x2C\x00\x31\x00", 10),
                   u"李三,1"_s},
        DecodeCase{"Utf16BeBom", QByteArray("\xFE\xFF\x67\x4E\x4E\x09\x00\x2C\x00\x31", 10),
                   u"李三,1"_s},
        DecodeCase{"Gbk", "\xC0\xEE\xC8\xFD,1\r\n\xCD\xF5\xCE\xE5"_ba, u"李三,1\r\n王五"_s},
        // Plain ASCII lines before the first GBK name do not make the file UTF-8.
        DecodeCase{"GbkAfterAsciiLines", "a,1\r\nb,2\r\n\xC0\xEE,3"_ba, u"a,1\r\nb,2\r\n李,3"_s}),
    [](const auto& info) { return std::string(info.param.name); });

struct SplitCase {
    const char* name;
    QString text;
    QStringList lines;
};
void PrintTo(const SplitCase& c, std::ostream* out) {
    *out << c.name;
}

class SplitPhoneBookLinesTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitPhoneBookLinesTest, EndsLinesAtCrLfCrAndLf) {
    EXPECT_EQ(splitPhoneBookLines(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SplitPhoneBookLinesTest,
    ::testing::Values(SplitCase{"Empty", QString(), {}},
                      SplitCase{"OneLineNoEnd", u" a,1 "_s, {u" a,1 "_s}},
                      SplitCase{"TrailingCrLf", u"a,1\r\n"_s, {u"a,1"_s}},
                      SplitCase{"TrailingCr", u"a,1\r"_s, {u"a,1"_s}},
                      SplitCase{"TrailingLf", u"a,1\n"_s, {u"a,1"_s}},
                      SplitCase{"Mixed", u"a\r\nb\rc\nd"_s, {u"a"_s, u"b"_s, u"c"_s, u"d"_s}},
                      SplitCase{"LfThenCrIsTwoEnds", u"a\n\rb"_s, {u"a"_s, QString(), u"b"_s}},
                      SplitCase{"CrThenCrLf", u"a\r\r\nb"_s, {u"a"_s, QString(), u"b"_s}},
                      SplitCase{"BlankLinesKept", u"\n\na"_s, {QString(), QString(), u"a"_s}},
                      SplitCase{"OnlyLineEnd", u"\r\n"_s, {QString()}}),
    [](const auto& info) { return std::string(info.param.name); });

class ReadTextLinesTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    void write(const QString& name, const QByteArray& bytes) const {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    QTemporaryDir dir;
};

TEST_F(ReadTextLinesTest, ReadsAndDecodesAFile) {
    write(u"book.txt"_s, "\xC0\xEE\xC8\xFD,13806012345\r\n\r\n\xCD\xF5\xCE\xE5\r\n"_ba);
    const TextLines read = readTextLines(path(u"book.txt"_s));
    EXPECT_TRUE(read.ok);
    EXPECT_TRUE(read.error.isEmpty());
    EXPECT_EQ(read.lines, (QStringList{u"李三,13806012345"_s, QString(), u"王五"_s}));
}

TEST_F(ReadTextLinesTest, EmptyFileHasNoLines) {
    write(u"empty.txt"_s, QByteArray());
    const TextLines read = readTextLines(path(u"empty.txt"_s));
    EXPECT_TRUE(read.ok);
    EXPECT_TRUE(read.lines.isEmpty());
}

TEST_F(ReadTextLinesTest, PathsThatAreNoReadableFile) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"folder.txt"_s));
    write(u"plain"_s, "a,1"_ba);
#if defined(Q_OS_UNIX)
    // Opening a FIFO without a writer would block, so this also proves it is never opened.
    ASSERT_EQ(::mkfifo(QFile::encodeName(path(u"fifo.txt"_s)).constData(), 0600), 0);
#endif
    QStringList paths = {path(u"missing.txt"_s), path(u"folder.txt"_s),
                         path(u"plain/under-a-file.txt"_s)};
#if defined(Q_OS_UNIX)
    paths.append(path(u"fifo.txt"_s));
#endif
#if defined(Q_OS_LINUX)
    // A regular file whose read fails: nothing is mapped at offset 0 of a process's memory.
    paths.append(u"/proc/self/mem"_s);
#endif
    for (const QString& p : paths) {
        SCOPED_TRACE(p.toStdString());
        const TextLines read = readTextLines(p);
        EXPECT_FALSE(read.ok);
        EXPECT_TRUE(read.lines.isEmpty());
        EXPECT_TRUE(read.error.contains(QDir::toNativeSeparators(p))) << read.error.toStdString();
    }
}

TEST(PhoneBookEntries, KeepsCommaLinesWholeAndInOrder) {
    const QStringList lines = {u"李三,13806012345"_s,
                               u"王五"_s,
                               QString(),
                               u" 赵六 , 1 "_s,
                               u"李三，13806012345"_s,
                               u","_s,
                               u"李三,13806012345"_s,
                               u"   "_s};
    const PhoneBookEntries read = phoneBookEntries(lines);
    EXPECT_EQ(read.entries,
              (QStringList{u"李三,13806012345"_s, u" 赵六 , 1 "_s, u","_s, u"李三,13806012345"_s}));
    EXPECT_EQ(read.leftOut, 0);
}

TEST(PhoneBookEntries, CapsAtTheListLimit) {
    const struct {
        int commaLines;
        int kept;
        int leftOut;
    } cases[] = {
        {MaxListEntries - 1, MaxListEntries - 1, 0},
        {MaxListEntries, MaxListEntries, 0},
        {40000, MaxListEntries, 40000 - MaxListEntries},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.commaLines);
        // Lines without a comma in between must not use up room in the list.
        QStringList lines;
        for (int i = 0; i < c.commaLines; ++i) {
            lines.append(u"名%1"_s.arg(i));
            lines.append(u"名%1,1380601%2"_s.arg(i).arg(i % 10000, 4, 10, QChar(u'0')));
        }
        const PhoneBookEntries read = phoneBookEntries(lines);
        ASSERT_EQ(read.entries.size(), c.kept);
        EXPECT_EQ(read.leftOut, c.leftOut);
        EXPECT_EQ(read.entries.front(), lines[1]);
        EXPECT_EQ(read.entries.back(), lines[2 * c.kept - 1]);
    }
}

}  // namespace
}  // namespace zelvo::recipients
