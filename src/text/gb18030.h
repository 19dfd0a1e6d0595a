#pragma once

#include <optional>
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
    // Appends the text of the next piece to out.
    void decode(std::string_view piece, std::u16string& out);
    // Appends the rest once the last piece was given.
    void finish(std::u16string& out);
    bool hasError() const { return error_; }

private:
    std::string pending_;  // a character cut by the end of the last piece
    bool error_ = false;
};

// The bytes of text, an unpaired surrogate (no character at all) written as U+FFFD. Nothing when
// the system cannot write one of its characters (no GB18030 converter, or only code page 936 for
// a character outside it): never a question mark in its place.
std::optional<std::string> gb18030Bytes(std::u16string_view text);

}  // namespace zelvo::text
