#include "settings/profile_ini.h"

#include <gtest/gtest.h>

#include "settings/text_codec.h"

namespace zelvo::settings {
namespace {

TEST(ProfileIniWriter, QuotesOnlyWhatReadingWouldChange) {
    struct Case {
        const char16_t* value;
        const char16_t* line;
        const char16_t* readBack;
    };
    const Case cases[] = {
        {u"a b", u"k=a b\r\n", u"a b"},           {u"", u"k=\r\n", u""},
        {u" a", u"k=\" a\"\r\n", u" a"},          {u"a\t", u"k=\"a\t\"\r\n", u"a\t"},
        {u"\"a\"", u"k=\"\"a\"\"\r\n", u"\"a\""}, {u"'a'", u"k=\"'a'\"\r\n", u"'a'"},
        {u"\"a", u"k=\"a\r\n", u"\"a"},           {u"'", u"k='\r\n", u"'"},
        {u"a\r\nb", u"k=a  b\r\n", u"a  b"},      {u"a\n", u"k=\"a \"\r\n", u"a "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.value).toStdString());
        ProfileIniWriter writer;
        writer.beginSection(u"S");
        writer.addValue(u"k", c.value);
        EXPECT_EQ(writer.text(), QStringLiteral("[S]\r\n") + QString::fromUtf16(c.line));
        EXPECT_EQ(ProfileIni::parse(writer.text()).value(u"S", u"k"), c.readBack);
    }
}

TEST(TextCodec, DecodesGbkAndMarkedFiles) {
    struct Case {
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {"\xC0\xEE\xC8\xFD,1", QStringLiteral("李三,1")},
        {"\x80 \x81\x80", QStringLiteral("€ 亐")},
        {"\x95\x32\x82\x36\x94\x39\xFC\x36", QStringLiteral("𠀀😀")},
        {"\xEF\xBB\xBF\xE6\x9D\x8E", QStringLiteral("李")},
        {QByteArray("\xFF\xFE\x4E\x67", 4), QStringLiteral("李")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        EXPECT_EQ(decodeFileText(c.bytes), c.text);
    }
}

TEST(TextCodec, WritesGb18030WithoutMark) {
    EXPECT_EQ(encodeGb18030(u"李三 😀€"), QByteArray("\xC0\xEE\xC8\xFD \x94\x39\xFC\x36\xA2\xE3"));
    // An unpaired surrogate is not text; it must not turn into a control character.
    const QChar lone[] = {u'a', QChar(0xD800), u'b'};
    EXPECT_EQ(encodeGb18030(QStringView(lone, 3)), QByteArray("a\x84\x31\xA4\x37"
                                                              "b"));
}

}  // namespace
}  // namespace zelvo::settings
