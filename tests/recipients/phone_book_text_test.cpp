// Which files count as phone book text: decoding tells undecodable bytes apart in each
// encoding, and reading refuses files that are no text or that no encoding reads.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "recipients/phone_book.h"

namespace zelvo::recipients {
namespace {

struct TextCase {
    const char* name;
    QByteArray bytes;
    bool clean;        // decodes without a single undecodable byte
    const char* says;  // what reading the file answers: nullptr when the lines are read
};
void PrintTo(const TextCase& c, std::ostream* out) {
    *out << c.name;
}

class PhoneBookTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(PhoneBookTextTest, DecodesCleanlyOrIsRefused) {
    const TextCase& c = GetParam();
    bool clean = !c.clean;
    (void)decodePhoneBook(c.bytes, &clean);
    EXPECT_EQ(clean, c.clean);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("book.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(c.bytes);
    file.close();
    const TextLines read = readTextLines(path);
    EXPECT_EQ(read.ok, c.says == nullptr) << read.error.toStdString();
    if (c.says) {
        EXPECT_TRUE(read.error.contains(QDir::toNativeSeparators(path)) &&
                    read.error.contains(QString::fromUtf8(c.says)))
            << read.error.toStdString();
        EXPECT_TRUE(read.lines.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, PhoneBookTextTest,
    ::testing::Values(
        TextCase{"Gbk", "\xC0\xEE\xC8\xFD,13806012345\r\n", true, nullptr},
        TextCase{"Utf8", "\xE6\x9D\x8E\xE4\xB8\x89,1\n", true, nullptr},
        TextCase{"Utf16LeBom", QByteArray("\xFF\xFE\x4E\x67,\x00", 6), true, nullptr},
        TextCase{"Empty", QByteArray(), true, nullptr},
        TextCase{"Gb18030FourBytes", "\x81\x30\x81\x30,1\r\n", true, nullptr},
        TextCase{"GbkWithBrokenPair", "\xC0\xEE\xC8,1\r\n", false, "编码"},
        TextCase{"LoneHighBytes", "\xFF\x80,1\r\n", false, "编码"},
        TextCase{"Utf8BomThenBrokenUtf8", "\xEF\xBB\xBF\xE6\x9D,1\r\n", false, "编码"},
        TextCase{"NulInGbk", QByteArray("a,1\r\n\0b,2", 9), true, "不是文本文件"},
        TextCase{"Utf16WithoutBom", QByteArray("a\0,\0001\0", 6), true, "不是文本文件"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zelvo::recipients
