// File bytes to text, whatever the size of the pieces they are read in: the byte order marks
// here, GBK and GB18030 in gb18030_cases.h.
#include "text/text_codec.h"

#include <gtest/gtest.h>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

#include "text/gb18030_cases.h"

namespace zelvo::testing {
namespace {

using Encoding = text::TextDecoder::Encoding;

TEST(TextCodecTest, DecodesEachEncodingInPiecesOfAnySizeOrReportsTheError) {
    // Text: what every piece size gives; rows with an error check only that it is reported.
    // clang-format off
    const struct {
        const char* name;
        QByteArray bytes;
        QString text;
        bool error = false;
        Encoding unmarked = Encoding::Gb18030;
    } rows[] = {
        {"Empty", "", ""},
        {"Utf8Mark", "\xEF\xBB\xBF\xE6\x9D\x8E,1", "李,1"},
        {"MarkOnly", "\xEF\xBB\xBF", ""},
        {"SecondMarkIsText", "\xEF\xBB\xBF\xEF\xBB\xBF", QString(QChar(0xFEFF))},
        {"Utf16LittleEndian", QByteArray("\xFF\xFE\x4E\x67,\0", 6), "李,"},
        {"Utf16BigEndian", QByteArray("\xFE\xFF\x67\x4E\0,", 6), "李,"},
        {"Utf8Unmarked", "\xE6\x9D\x8E,1", "李,1", false, Encoding::Utf8},
        {"GbkIsNoUtf8", "\xC0\xEE,1", "", true, Encoding::Utf8},
        {"InvalidBytes", "\xFF\x80\x81,1", "", true},
        {"Utf8MarkThenBroken", "\xEF\xBB\xBF\xE6\x9D,1", "", true},
        {"Utf16CutOffAtTheEnd", "\xFF\xFE\x4E\x67\x2C", "", true},
    };
    // clang-format on
    for (const auto& row : rows) {
        for (const qsizetype piece : {1, 2, 3, 4, 1 << 20}) {
            SCOPED_TRACE(std::string(row.name) + " in pieces of " + std::to_string(piece));
            text::TextDecoder decoder(row.unmarked);
            QString text;
            for (qsizetype at = 0; at < row.bytes.size(); at += piece)
                text += decoder.decode(QByteArrayView(row.bytes).sliced(at).first(
                    std::min(piece, row.bytes.size() - at)));
            text += decoder.finish();
            EXPECT_EQ(decoder.hasError(), row.error);
            if (!row.error) {
                EXPECT_EQ(text, row.text);
            }
        }
    }
}

TEST(TextCodecTest, Gb18030CasesAsOnWindows) {
#ifdef Q_OS_WIN
    if (!IsValidCodePage(54936)) GTEST_SKIP() << "this Windows (Wine) has no code page 54936";
#endif
    ASSERT_TRUE(gb18030Bytes(u"😀")) << "this build writes every character";
    EXPECT_EQ(gb18030Failures(), std::vector<std::string>());
}

}  // namespace
}  // namespace zelvo::testing
