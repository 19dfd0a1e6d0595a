// Windows' own conversion, which needs no ICU. Code page 936 is what Windows' profile functions
// read and write on a Chinese system; 54936 (GB18030) adds the four-byte characters where the
// system has it (Windows has, Wine 8 has not).
#include "text/gb18030_system.h"

#include <windows.h>

#include <cstring>

#include "text/gb18030.h"

namespace zelvo::text {
namespace {

constexpr UINT kGbk = 936;
constexpr UINT kGb18030 = 54936;

// Writes the text of bytes in the code page at out and moves out past it; false, with nothing
// written, when one of them is no character there or the system lacks the code page. Without
// MB_ERR_INVALID_CHARS a bad byte would silently become a question mark.
bool writeText(UINT codePage, std::string_view bytes, char16_t*& out) {
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size,
                                           reinterpret_cast<wchar_t*>(out), 2 * size);
    out += length;
    return length > 0;
}

// Writes the bytes of text in the code page at out and moves out past it; false when one of
// its characters is not there. Code page 936 is asked whether it wrote its default character (a
// question mark) in place of one, and not to write a look-alike; 54936 holds every character and
// takes neither.
bool writeBytes(UINT codePage, std::u16string_view text, char*& out) {
    const int size = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    const int length =
        WideCharToMultiByte(codePage, codePage == kGbk ? WC_NO_BEST_FIT_CHARS : 0,
                            reinterpret_cast<const wchar_t*>(text.data()), size, out, 4 * size,
                            nullptr, codePage == kGbk ? &usedDefault : nullptr);
    // Code page 936 writes U+F8F5 as the single byte FF, which no reader takes back.
    if (length <= 0 || usedDefault ||
        (codePage == kGbk && std::memchr(out, 0xFF, size_t(length)) != nullptr)) {
        return false;
    }
    out += length;
    return true;
}

}  // namespace

bool system::decodeCharacters(std::string_view bytes, char16_t*& out) {
    if (writeText(kGbk, bytes, out)) return true;
    // Not all code page 936: one character at a time, so that each bad one costs one U+FFFD.
    bool clean = true;
    for (size_t at = 0; at < bytes.size();) {
        const int length = gb18030CharacterLength(bytes.substr(at));
        const size_t size = length > 0 ? length : 1;
        const UINT codePage = length == 4 ? kGb18030 : kGbk;
        if (length <= 0 || !writeText(codePage, bytes.substr(at, size), out)) {
            *out++ = u'\uFFFD';
            clean = false;
        }
        at += size;
    }
    return clean;
}

char* encodeGb18030(std::u16string_view text, char* out) {
    char* const start = out;
    if (text.empty() || writeBytes(kGbk, text, out)) return out;
    // Something outside code page 936: one character at a time, each outsider in 54936.
    out = start;
    for (size_t at = 0; at < text.size();) {
        const auto isLow = [](char16_t unit) { return unit >= 0xDC00 && unit < 0xE000; };
        const bool surrogate = text[at] >= 0xD800 && text[at] < 0xE000;
        const bool pair =
            surrogate && !isLow(text[at]) && at + 1 < text.size() && isLow(text[at + 1]);
        const std::u16string_view character =
            surrogate && !pair ? u"\uFFFD" : text.substr(at, pair ? 2 : 1);
        if (!writeBytes(kGbk, character, out) && !writeBytes(kGb18030, character, out)) {
            return nullptr;
        }
        at += pair ? 2 : 1;
    }
    return out;
}

}  // namespace zelvo::text
