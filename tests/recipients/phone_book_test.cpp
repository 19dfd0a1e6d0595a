// Phone books as the reader takes them: entry lines kept whole, the rest skipped, lines past
// the list's limit only counted, and files that are no text refused with their name.
#include "recipients/phone_book.h"

#include <QTemporaryDir>

#include "recipients/line_count.h"
#include "recipients/number_entry.h"
#include "support/test_files.h"
#include "text/text_codec.h"

namespace zelvo::testing {
namespace {

const QString kLi = QStringLiteral("李三,13806012345");
const QString kWang = QStringLiteral("王五,13906054321");

TEST(PhoneBookTest, KeepsEachLineWithACommaOrRefusesTheFile) {
    const QByteArray binary = QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16) + gbk("\r\n" + kLi);
    const QByteArray longLine = repeated("1380601234", 5 << 20);
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
        {"FiveMegabyteEntry", gbk("李三,") + longLine, {"李三," + QString::fromLatin1(longLine)}},
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
        if (const char* why = unplaceable(row.make)) {
            std::cerr << row.name << " skipped: " << why << "\n";
            continue;
        }
        if (!text::encodeGb18030(row.entries.join(u'\n'))) {
            std::cerr << row.name
                      << " skipped: this system has no GB18030 (Wine: code page 54936)\n";
            continue;
        }
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

// Contacts as phones and address books export them, told by their content (the files have no
// extension): one entry for each mobile number of a contact, landlines and foreign numbers left
// out, a number given twice by one contact once.
TEST(PhoneBookTest, ContactFilesGiveAnEntryForEachMobileNumber) {
    using recipients::BookFormat;
    // clang-format off
    const struct {
        const char* name;
        QByteArray bytes;
        BookFormat format;
        QStringList entries;
    } rows[] = {
        {"AndroidQuotedPrintable",
         "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E5=BC=A0;=E4=B8=89;;;\r\n"
         "FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E5=BC=A0=E4=B8=89\r\nTEL;CELL:138-0601-2345\r\n"
         "TEL;HOME:010-6552-1234\r\nTEL;WORK:+86 139 0605 4321\r\nTEL;CELL;PREF:13806012345\r\nEND:VCARD\r\n"
         "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E6=AC=A7=E9=98=B3;=E5=B0=8F=\r\n"
         "=E6=98=8E;;;\r\nTEL;CELL:+8615011112222\r\nEND:VCARD\r\n"
         "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;CHARSET=GB2312;QUOTED-PRINTABLE:=C0=EE=CB=C4\r\nTEL;CELL:13700001111\r\nEND:VCARD\r\n",
         BookFormat::VCard, {"张三,13806012345", "张三,13906054321", "欧阳小明,15011112222", "李四,13700001111"}},
        {"IPhone",
         "BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Apple Inc.//iPhone OS 17.1//EN\r\nN:李;四;;;\r\nFN:李四\r\n"
         "item1.TEL;type=CELL;type=VOICE;type=pref:+86 138 0013 8000\r\nTEL;type=HOME;type=VOICE:(010) 8888 6666\r\n"
         "TEL;type=IPHONE;type=CELL;type=VOICE:0086-159-1234-5678\r\nPHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRg\r\n"
         " TEL:13911112222\r\nEND:VCARD\r\nBEGIN:VCARD\r\nVERSION:3.0\r\nN:Wellington-Smythe;Alexander;;;\r\n"
         "FN:Alexander Wellington-\r\n Smythe\\, Jr.\r\nTEL;type=CELL:+1 (555) 123-4567\r\nTEL;type=WORK:13711112222\r\nEND:VCARD\r\n",
         BookFormat::VCard, {"李四,13800138000", "李四,15912345678", "Alexander Wellington-Smythe Jr.,13711112222"}},
        {"Version4", QStringLiteral("BEGIN:VCARD\nVERSION:4.0\nN:赵;六;;;\nTEL;VALUE=uri;TYPE=\"cell,voice\":tel:+86-188-1234-5678\n"
         "TEL;VALUE=uri;TYPE=work:tel:+86-10-6552-1234;ext=88\nEND:VCARD\n").toUtf8(),
         BookFormat::VCard, {"赵六,18812345678"}},
        {"GoogleWithMark", "\xEF\xBB\xBF" + QStringLiteral(
         "Name,Given Name,Family Name,Notes,Phone 1 - Type,Phone 1 - Value,Phone 2 - Type,Phone 2 - Value\r\n"
         "张三,三,张,\"第一行\r\n13800000000, 第二行\",Mobile,+86 138-0601-2345 ::: 139 0605 4321,Home,010-6552-1234\r\n"
         "\"Wang, Wei\",Wei,Wang,,Mobile,15011112222,,\r\n,小明,欧阳,,Mobile,(0086) 136 0000 1111,,\r\n").toUtf8(),
         BookFormat::Csv, {"张三,13806012345", "张三,13906054321", "Wang Wei,15011112222", "欧阳小明,13600001111"}},
        {"ChineseGb18030", gbk("姓名,手机,电话,单位\r\n刘一,13512345678,021-55556666,某公司\r\n陈二,\"186 0000 2222 ::: 13800001234\",,\r\n"),
         BookFormat::Csv, {"刘一,13512345678", "陈二,18600002222", "陈二,13800001234"}},
        {"Outlook", "\"First Name\",\"Middle Name\",\"Last Name\",\"Mobile Phone\",\"Home Phone\"\r\n\"John\",\"\",\"Smith\",\"138 0601 2345\",\"\"\r\n",
         BookFormat::Csv, {"Smith John,13806012345"}},
    };
    // clang-format on
    const QTemporaryDir folder;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString book = folder.filePath(row.name);
        writeFile(book, row.bytes);
        for (const qint64 piece : {qint64(1) << 20, qint64(3)}) {
            const recipients::PhoneBookImport read = recipients::readPhoneBook(book, {}, piece);
            EXPECT_TRUE(read.ok) << read.error.toStdString();
            EXPECT_EQ(read.format, row.format);
            EXPECT_EQ(textsOf(read.entries), row.entries);
        }
    }
}

// The counter past the list's limit against its plain twin, on texts cut into pieces that end
// anywhere in a block of sixteen characters, and on random texts of every length up to 300.
TEST(PhoneBookTest, LineCounterAgreesWithItsPlainTwin) {
    QStringList texts = {
        "," + QString(200, u'a') + "\r\n" + QString(300, u'b') + "\n" + QString(40, u','),
        QString("no comma\r\n").repeated(9) + "a,1\r",
        QString(15, u'x') + ",\r\n" + QString(13, u'y') + "\r\r\n,\r" + QString(20, u'z'),
        QString("a,1\r\n").repeated(20) + QChar(0) + "b,2",
    };
    const QString alphabet =
        QString(30, u'a') + QStringLiteral("李李，,\r\n");  // lines of some 18 characters
    quint32 seed = 1;
    for (int size = 0; size <= 300; ++size) {
        QString text;
        for (int k = 0; k < size; ++k)
            text += alphabet[((seed = seed * 1103515245 + 12345) >> 16) % alphabet.size()];
        texts << text;
    }
    for (const QString& text : texts) {
        for (const qsizetype piece : {1, 7, 16, 17, 31, 1 << 20}) {
            recipients::LineCount fast, plain;
            bool fastOk = true, plainOk = true;
            for (qsizetype at = 0; at < text.size(); at += piece) {
                const QStringView part =
                    QStringView(text).sliced(at).first(std::min(piece, text.size() - at));
                fastOk = fastOk && recipients::countCommaLines(part, fast);
                plainOk = plainOk && recipients::countCommaLinesPlain(part, plain);
            }
            // After a NUL the file is refused, whatever was counted.
            ASSERT_EQ(std::tuple(fastOk, fastOk ? fast.withComma : 0, fastOk && fast.comma),
                      std::tuple(plainOk, plainOk ? plain.withComma : 0, plainOk && plain.comma))
                << text.toStdString() << " in pieces of " << piece;
        }
    }
    recipients::LineCount count;
    EXPECT_TRUE(recipients::countCommaLines(texts[0], count));
    EXPECT_EQ(std::tuple(count.withComma, count.comma), std::tuple(1, true));
}

}  // namespace
}  // namespace zelvo::testing
