#pragma once

#include <string_view>

// What the system converts for Gb18030Decoder, and where encodeGb18030() is: on Windows its own
// functions for code pages 936 and 54936 (windows/gb18030_system.cpp), which need no ICU; elsewhere
// ICU's GB18030 through Qt (unix/gb18030_system.cpp).
namespace zelvo::text::system {

// Writes the text of bytes that hold whole characters, or bytes that start none, at out (room
// for two units a byte) and moves out past it; false when some were undecodable (U+FFFD in their
// place, or nothing when there is no converter at all).
bool decodeCharacters(std::string_view bytes, char16_t*& out);

}  // namespace zelvo::text::system

namespace zelvo::text {

// The length of the character that bytes start with: 1, 2 or 4; 0 when bytes end inside one that
// further bytes can complete; -1 when they start no character (the byte can only be skipped).
int gb18030CharacterLength(std::string_view bytes);

}  // namespace zelvo::text
