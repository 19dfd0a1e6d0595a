#include "text/gb18030.h"

#include <utility>

#include "text/gb18030_system.h"

namespace zelvo::text {
namespace {

bool inRange(unsigned char byte, unsigned char low, unsigned char high) {
    return byte >= low && byte <= high;
}

// Where the last whole character of bytes ends; the rest can still become a character. Bytes
// below 0x30 are never part of a longer character, so the walk starts after the last one.
size_t endOfWholeCharacters(std::string_view bytes) {
    size_t at = bytes.size();
    while (at > 0 && static_cast<unsigned char>(bytes[at - 1]) >= 0x30) --at;
    while (at < bytes.size()) {
        const int length = gb18030CharacterLength(bytes.substr(at));
        if (length == 0) return at;
        at += length < 0 ? 1 : length;
    }
    return bytes.size();
}

}  // namespace

int gb18030CharacterLength(std::string_view bytes) {
    const auto at = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (at(0) <= 0x80) return 1;  // ASCII, and Windows' euro sign
    if (at(0) == 0xFF) return -1;
    if (bytes.size() < 2) return 0;
    if (!inRange(at(1), 0x30, 0x39)) return inRange(at(1), 0x40, 0xFE) && at(1) != 0x7F ? 2 : -1;
    if (bytes.size() < 3) return 0;
    if (!inRange(at(2), 0x81, 0xFE)) return -1;
    if (bytes.size() < 4) return 0;
    return inRange(at(3), 0x30, 0x39) ? 4 : -1;
}

char16_t* Gb18030Decoder::decode(std::string_view piece, char16_t* out) {
    std::string joined;
    if (!pending_.empty()) {
        joined = std::exchange(pending_, {});
        joined += piece;
        piece = joined;
    }
    const size_t end = endOfWholeCharacters(piece);
    pending_ = piece.substr(end);
    if (end > 0 && !system::decodeCharacters(piece.substr(0, end), out)) error_ = true;
    return out;
}

char16_t* Gb18030Decoder::finish(char16_t* out) {
    // A character cut off by the end: its first byte is undecodable, and the bytes after it are
    // read again, so that none of their characters is lost.
    while (!pending_.empty()) {
        error_ = true;
        *out++ = u'\uFFFD';
        const std::string rest = std::exchange(pending_, {}).substr(1);
        out = decode(rest, out);
    }
    return out;
}

}  // namespace zelvo::text
