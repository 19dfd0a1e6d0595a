#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text files of a Chinese Windows are in its ANSI code page 936 (GBK, with the euro sign as the
// single byte 0x80). A character it cannot hold (an emoji, a rare CJK character) is written as a
// GB18030 four-byte sequence: GB18030 is GBK's superset. This is the conversion of those bytes to
// UTF-16 and back, in standard C++ alone so that it builds without Qt; gb18030_system.h says who
// converts on each system.
namespace zelvo::text {

// Decodes bytes given in pieces of any size. A character cut by the end of a piece waits for the
// next one. Undecodable bytes and a character cut off by the end of the file become U+FFFD and
// are reported by hasError(). Where the system has no GB18030 (Windows without code page 54936)
// a four-byte sequence is undecodable: there is no telling which character it was.
class Gb18030Decoder {
public:
    // The room at out that decode() of a piece of `bytes` bytes, or finish(), may need.
    static constexpr size_t roomFor(size_t bytes) { return 2 * (bytes + 4); }
    // Writes the text of the next piece at out; returns where it ends.
    char16_t* decode(std::string_view piece, char16_t* out);
    // Writes the rest once the last piece was given.
    char16_t* finish(char16_t* out);
    bool hasError() const { return error_; }

private:
    std::string pending_;  // a character cut by the end of the last piece
    bool error_ = false;
};

// Writes the bytes of text at out, which has room for 4 bytes a UTF-16 unit, an unpaired
// surrogate (no character at all) as U+FFFD; returns where they end. Null when the system cannot
// write one of its characters (no GB18030 converter, or only code page 936 for a character
// outside it): never a question mark in its place.
char* encodeGb18030(std::u16string_view text, char* out);

}  // namespace zelvo::text
