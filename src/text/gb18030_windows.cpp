// Windows' own conversion, which needs no ICU. Code page 936 is what Windows' profile functions
// read and write on a Chinese system; 54936 (GB18030) adds the four-byte characters where the
// system has it (Windows has, Wine 8 has not).
#include <windows.h>

#include "text/gb18030_system.h"

namespace zelvo::text::system {
namespace {

constexpr UINT kGbk = 936;
constexpr UINT kGb18030 = 54936;

// Appends the text of bytes in the code page; false, with nothing appended, when one of them is
// no character there or the system lacks the code page. Without MB_ERR_INVALID_CHARS a bad byte
// would silently become a question mark.
bool appendDecoded(UINT codePage, std::string_view bytes, std::u16string& out) {
    const int size = static_cast<int>(bytes.size());
    const int length =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0) return false;
    const size_t at = out.size();
    out.resize(at + length);
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size,
                        reinterpret_cast<wchar_t*>(out.data() + at), length);
    return true;
}

// Appends the bytes of text in the code page; false when one of its characters is not there.
// Code page 936 is asked whether it wrote its default character (a question mark) in place of
// one, and not to write a look-alike; 54936 holds every character and takes neither.
bool appendEncoded(UINT codePage, std::u16string_view text, std::string& out) {
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int size = static_cast<int>(text.size());
    const DWORD flags = codePage == kGbk ? WC_NO_BEST_FIT_CHARS : 0;
    BOOL usedDefault = FALSE;
    BOOL* askUsedDefault = codePage == kGbk ? &usedDefault : nullptr;
    const int length =
        WideCharToMultiByte(codePage, flags, wide, size, nullptr, 0, nullptr, askUsedDefault);
    if (length <= 0 || usedDefault) return false;
    const size_t at = out.size();
    out.resize(at + length);
    WideCharToMultiByte(codePage, flags, wide, size, out.data() + at, length, nullptr, nullptr);
    return true;
}

}  // namespace

bool decodeCharacters(std::string_view bytes, std::u16string& out) {
    if (appendDecoded(kGbk, bytes, out)) return true;
    // Not all code page 936: one character at a time, so that each bad one costs one U+FFFD.
    bool clean = true;
    for (size_t at = 0; at < bytes.size();) {
        const int length = gb18030CharacterLength(bytes.substr(at));
        const size_t size = length > 0 ? length : 1;
        const UINT codePage = length == 4 ? kGb18030 : kGbk;
        if (length <= 0 || !appendDecoded(codePage, bytes.substr(at, size), out)) {
            out += u'\uFFFD';
            clean = false;
        }
        at += size;
    }
    return clean;
}

std::optional<std::string> encodeCharacters(std::u16string_view text) {
    std::string out;
    if (text.empty() || appendEncoded(kGbk, text, out)) return out;
    // Something outside code page 936: one character at a time, each outsider in 54936.
    for (size_t at = 0; at < text.size();) {
        const bool pair = text[at] >= 0xD800 && text[at] < 0xDC00 && at + 1 < text.size();
        const std::u16string_view character = text.substr(at, pair ? 2 : 1);
        if (!appendEncoded(kGbk, character, out) && !appendEncoded(kGb18030, character, out)) {
            return std::nullopt;
        }
        at += character.size();
    }
    return out;
}

}  // namespace zelvo::text::system
