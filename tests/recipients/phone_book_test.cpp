// Phone books as the reader takes them: entry lines kept whole, the rest skipped, lines past
// the list's limit only counted, and files that are no text refused with their name.
// A broken phone book is read or refused at once: a short limit catches one that hangs.
// Time-out: 90 s
#include "recipients/phone_book.h"

#include <QTemporaryDir>

#include "recipients/number_entry.h"
#include "support/test_files.h"

namespace zelvo::testing {
namespace {

const QString kLi = QStringLiteral("李三,13806012345");
const QString kWang = QStringLiteral("王五,13906054321");

TEST(PhoneBookTest, KeepsEachLineWithACommaOrRefusesTheFile) {
    const QByteArray binary = QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16) + gbk("\r\n" + kLi);
    const QByteArray longLine = QByteArray("1380601234").repeated(1 << 19);
    // The list's limit of lines "a,1", each five bytes long, then lines past it.
    const QByteArray full = QByteArray("a,1\r\n").repeated(recipients::MaxListEntries);
    const QStringList fullList(recipients::MaxListEntries, "a,1");
    const QByteArray past =
        "no comma\r\nb,2\r\n\r\nc,3\rd\n,\re\r\n" + QStringLiteral("f，6\r\n，").toUtf8();
    // Refusal: words of the reason; empty: read. Piece: bytes read and decoded at a time; a
    // character or line end split between two pieces must come out whole.
    // clang-format off
    const struct {
        const char* name;
        QByteArray bytes;
        QStringList entries;
        int leftOut = 0;
        const char* refusal = "";
        qint64 piece = 1 << 20;
        const char* make = "";
    } rows[] = {
        {"Gbk", gbk(kLi + "\r\n" + kWang), {kLi, kWang}},
        {"Utf8WithoutMark", (kLi + "\n" + kWang + "\n").toUtf8(), {kLi, kWang}},
        {"Utf16InOneBytePieces", utf16(kLi + "\r\n" + kWang, QStringConverter::Utf16BE), {kLi, kWang}, 0, "", 1},
        {"GbkInOneBytePieces", "a,0\r\n\xC0\xEE,1\r\n\x80,2\r\x81\x80,3\n\x95\x32\x82\x36\xA3\xAC" "4", {"a,0", "李,1", "€,2", "亐,3", "𠀀,4"}, 0, "", 1},
        {"GbkAfterUtf8Lines", gbk("a,1\r\nb,2\r\n" + kLi), {"a,1", "b,2", kLi}, 0, "", 4},
        {"EveryLineEnd", gbk(kLi + "\r" + kWang + "\n\r" + kLi + "\r\r\n" + kWang + "\n"), {kLi, kWang, kLi, kWang}},
        {"LinesWithoutCommaSkipped", gbk("只有名字\r\n" + kLi + "\r\n李三、13806012345\r\n"), {kLi}},
        {"FullWidthCommaMadeAsciiWhereNoAsciiOne", gbk("李三，13806012345\r\n，王，五，1\r\n王五，经理,1\r\n李,138，0"), {kLi, ",王，五，1", "王五，经理,1", "李,138，0"}},
        {"BlanksAndBadNumbersKept", "  a , 12345 \r\nx,\r\n,\r\n", {"  a , 12345 ", "x,", ","}},
        {"DuplicatesKept", gbk(kLi + "\r\n" + kLi + "\r\n"), {kLi, kLi}},
        {"Empty", "", {}},
        {"MarkOnly", "\xEF\xBB\xBF", {}},
        {"OnlyLineBreaks", "\r\n\r\n\n\r", {}},
        {"FiveMegabyteLine", longLine, {}},
        // An entry that set.ini could not take back is refused, the list as it was.
        {"FiveMegabyteEntry", gbk("李三,") + longLine, {}, 0, "第 1 行超过 500 个字符"},
        {"LongestEntry", "a," + QByteArray(498, '1'), {"a," + QString(498, u'1')}},
        {"EntryOneTooLongInOneBytePieces", "a,1\r\n" + QByteArray(499, '1') + "，1\r\n", {}, 0, "第 2 行超过", 1},
        {"PastTheLimitOnlyLinesWithACommaCount", full + past, fullList, 5},
        {"LimitCrossedInAPiece", full + past, fullList, 5, "", 4096},
        {"LimitCrossedInOneBytePieces", full + past, fullList, 5, "", 1},
        {"CrAtAPieceEndPastTheLimit", full + "b,22\r\nc,3456\rd,4\r\n", fullList, 3, "", 4},
        {"LongLinesPastTheLimit", full + longLine + "\r\nx," + longLine + "\n" + longLine, fullList, 1},
        {"Binary", binary, {}, 0, "不是文本文件"},
        {"NulInGbk", QByteArray("a,1\r\n\0b,2", 9), {}, 0, "不是文本文件"},
        {"NulPastTheLimit", full + QByteArray("b,2\0", 4), {}, 0, "不是文本文件"},
        {"Utf16WithoutMark", QByteArray("a\0,\0001\0", 6), {}, 0, "不是文本文件"},
        {"InvalidInEveryEncoding", "\xFF\x80\x81,13806012345\r\n", {}, 0, "编码"},
        {"CutOffAtTheEnd", "a,1\r\n\xC0", {}, 0, "编码", 2},
        {"Missing", "", {}, 0, "找不到", 1 << 20, "none"},
        {"Folder", "", {}, 0, "文件夹", 1 << 20, "dir"},
        {"Fifo", "", {}, 0, "不是普通文件", 1 << 20, "fifo"},
    };
    // clang-format on
    const QTemporaryDir folder;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (skippedHere(row.name, row.make, row.entries)) continue;
        const QString book = folder.filePath(row.name);
        ASSERT_TRUE(place(row.make, book, row.bytes));
        const recipients::PhoneBookImport read = recipients::readPhoneBook(book, {}, row.piece);
        EXPECT_EQ(read.ok, !*row.refusal);
        EXPECT_TRUE(read.ok ? read.error.isEmpty()
                            : read.error.contains(QDir::toNativeSeparators(book)) &&
                                  read.error.contains(row.refusal))
            << read.error.toStdString();
        EXPECT_EQ(textsOf(read.entries), row.entries);
        EXPECT_EQ(read.leftOut, row.leftOut);
    }
#ifdef Q_OS_UNIX
    const recipients::PhoneBookImport unreadable = recipients::readPhoneBook("/proc/self/mem");
    EXPECT_EQ(unreadable.error, "无法读取文件 /proc/self/mem。");
#endif
}

// Contacts as phones and address books export them (tests/recipients/contacts), told by their
// content (the files have no extension): one entry for each mobile number of a contact, however
// its country code and separators are written, landlines and foreign numbers left out, a number
// given twice by one contact once; names in any code page, without direction controls.
TEST(PhoneBookTest, ContactFilesGiveAnEntryForEachMobileNumber) {
    using recipients::BookFormat;
    // clang-format off
    const struct {
        const char* file;
        BookFormat format;
        QStringList entries;
    } rows[] = {
        {"android", BookFormat::VCard, {"张三,13806012345", "张三,13906054321", "欧阳小明,15011112222", "李四,13700001111"}},
        {"iphone", BookFormat::VCard, {"李四,13800138000", "李四,15912345678", "Alexander Wellington-Smythe Jr.,13711112222"}},
        {"vcard4", BookFormat::VCard, {"赵六,18812345678"}},
        {"google", BookFormat::Csv, {"张三,13806012345", "张三,13906054321", "Wang Wei,15011112222", "欧阳小明,13600001111"}},
        {"chinese-gb18030", BookFormat::Csv, {"刘一,13512345678", "陈二,18600002222", "陈二,13800001234"}},
        {"outlook", BookFormat::Csv, {"Smith John,13806012345"}},
        {"chinese-exports", BookFormat::VCard, {"王五,13806012345", "王五,13906054321", "王五,15011112222", "某某科技有限公司,18712345678", "赵六,13522223333", "赵六,13600001111", "赵六,13700002222", "赵六,18200003333", "赵六,18811112222", "赵六,13800004444", "赵六,15900005555", "赵六,15800006666", "孙六,13922223333"}},
        {"western-8bit", BookFormat::VCard, {"José Müller €,13806012345", "王小誠,13906054321", "张三,15011112222"}},
        {"chinese-titles", BookFormat::Csv, {"李老师,13512345678", "某公司,13612345678", "王总,13712345678"}},
        {"outlook-chinese", BookFormat::Csv, {"张三,13812345678", "先生,13912345678"}},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        for (const qint64 piece : {qint64(1) << 20, qint64(3)}) {
            const recipients::PhoneBookImport read = recipients::readPhoneBook(
                QStringLiteral(ZELVO_TEST_SOURCE_DIR "/recipients/contacts/") + row.file, {},
                piece);
            EXPECT_TRUE(read.ok) << read.error.toStdString();
            EXPECT_EQ(read.format, row.format);
            EXPECT_EQ(textsOf(read.entries), row.entries);
        }
    }
}

}  // namespace
}  // namespace zelvo::testing
