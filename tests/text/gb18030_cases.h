// Text files as a Chinese Windows writes them, read in pieces of 1 to 4 bytes and whole, then
// written back. The Linux tests and the Windows build's own, under Wine, run these same cases.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "text/gb18030.h"

namespace zelvo::testing {

// Four-byte sequences give their text where the system has GB18030; elsewhere (Windows without
// code page 54936, as Wine is) they are undecodable and their characters cannot be written.
enum class Gives { Text, Error, TextWhereGb18030 };

// clang-format off
inline constexpr struct {
    const char* name;
    std::string_view bytes;
    std::u16string_view text;
    Gives gives = Gives::Text;
} kGb18030Cases[] = {
    {"SetIni", "[UserMsg]\r\nUser=13806012345@139.com\r\nPassword= p w \r\n[Phone]\r\n0=\xC0\xEE\xC8\xFD,13806012345\r\n1=\xD5\xC5\xCE\xE5 \x80,13906054321\r\ntotal=1\r\n",
     u"[UserMsg]\r\nUser=13806012345@139.com\r\nPassword= p w \r\n[Phone]\r\n0=李三,13806012345\r\n1=张五 €,13906054321\r\ntotal=1\r\n"},
    {"EuroAloneAndAsSecondByte", "\x80,2\r\x81\x80,3\n", u"€,2\r亐,3\n"},
    {"FourBytes", "\x81\x30\x81\x30\x95\x32\x82\x36\x94\x39\xFC\x36", u"\u0080𠀀😀", Gives::TextWhereGb18030},
    {"NoLookAlike", "\x81\x30\x84\x34", u"¢", Gives::TextWhereGb18030},  // not code page 936's ￠
    {"InvalidBytes", "\xFF\x80\x81,1", u"\uFFFD€\uFFFD,1", Gives::Error},
    {"BrokenPair", "\xC0\xEE\xC8,1", u"李\uFFFD,1", Gives::Error},
    {"BrokenFourBytes", "\x81\x30\x81,1", u"\uFFFD0\uFFFD,1", Gives::Error},
    {"BrokenBeforeEuro", "\x81\x30\x80", u"\uFFFD0€", Gives::Error},
    {"CutOffAtTheEnd", "a,1\r\n\xC0", u"a,1\r\n\uFFFD", Gives::Error},
    {"FourBytesCutOffAtTheEnd", "a\x81\x30\x81", u"a\uFFFD0\uFFFD", Gives::Error},
    // Code page 936 would write it as FF, which reads back as nothing.
    {"PrivateUseF8F5", "\x83\x39\xFE\x30", u"\uF8F5", Gives::TextWhereGb18030},
};
// clang-format on

inline std::optional<std::string> gb18030Bytes(std::u16string_view text) {
    std::string bytes(4 * text.size(), '\0');
    const char* end = text::encodeGb18030(text, bytes.data());
    return end ? std::optional(bytes.substr(0, end - bytes.data())) : std::nullopt;
}

// What went wrong, a line a case; empty when all went right.
inline std::vector<std::string> gb18030Failures() {
    const bool gb18030 = gb18030Bytes(u"😀").has_value();
    std::vector<std::string> failures;
    // Whether bytes read in pieces of the size decode cleanly, and into text.
    const auto read = [](std::string_view bytes, size_t piece, std::u16string& text) {
        text::Gb18030Decoder decoder;
        text.resize(decoder.roomFor(bytes.size()));
        char16_t* end = text.data();
        for (size_t at = 0; at < bytes.size(); at += piece)
            end = decoder.decode(bytes.substr(at, piece), end);
        text.resize(decoder.finish(end) - text.data());
        return !decoder.hasError();
    };
    for (const auto& row : kGb18030Cases) {
        const bool readable = row.gives == Gives::Text || (row.gives != Gives::Error && gb18030);
        for (const size_t piece : {1, 2, 3, 4, 1 << 20}) {
            std::u16string got;
            const bool clean = read(row.bytes, piece, got);
            // A sequence the system cannot decode at all is only known to give U+FFFD; every
            // other byte keeps its character.
            const bool exact = readable || row.gives == Gives::Error;
            if (clean != readable || (exact ? got != row.text : got.find(u'\uFFFD') == got.npos))
                failures.push_back(std::string(row.name) + " in pieces of " +
                                   std::to_string(piece));
        }
        if (row.gives != Gives::Error &&
            gb18030Bytes(row.text) != (readable ? std::optional(row.bytes) : std::nullopt))
            failures.push_back(std::string(row.name) + " written back");
    }
    if (gb18030Bytes(u"\xDC00-\xD800") != gb18030Bytes(u"\uFFFD-\uFFFD"))
        failures.push_back("Unpaired surrogates written as U+FFFD");
    // Every character of code page 936 comes back as the same bytes; but for A2 E3, GB18030's
    // euro sign, which is written as Windows' 0x80.
    std::string all;
    for (int byte = 0; byte <= 0x80; ++byte) all += char(byte);
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail != 0x7F && (lead != 0xA2 || trail != 0xE3)) all += {char(lead), char(trail)};
        }
    }
    std::u16string text;
    if (!read(all, all.size(), text) || gb18030Bytes(text) != all)
        failures.push_back("Every character of code page 936 written back");
    return failures;
}

}  // namespace zelvo::testing
