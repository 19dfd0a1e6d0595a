// ICU's GB18030 through Qt, for the systems whose Qt has it (Debian's does; Qt's own Windows
// builds do not, hence windows/gb18030_system.cpp).
#include "text/gb18030_system.h"

#include <QChar>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "text/gb18030.h"

namespace zelvo::text {
namespace {

constexpr const char* kCodecName = "GB18030";

// The GB18030 bytes of each character of the Basic Multilingual Plane but the surrogates, asked
// of the codec once: it converts some 2.5 ns a character, and a file to write can be a million
// characters. A 2-byte code is below 0x10000, a 4-byte code above. Empty when the codec is
// missing or answers in a way the table cannot hold.
const std::vector<uint32_t>& bmpCodes() {
    static const std::vector<uint32_t> table = []() -> std::vector<uint32_t> {
        QStringEncoder encoder(kCodecName, QStringConverter::Flag::Stateless);
        if (!encoder.isValid()) return {};
        QString all;
        all.reserve(0x10000);
        for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
            if (!QChar::isSurrogate(c)) all += QChar(char16_t(c));
        }
        const QByteArray bytes = encoder.encode(all);
        if (encoder.hasError()) return {};
        std::vector<uint32_t> codes(0x10000, 0);
        qsizetype at = 0;
        for (const QChar c : std::as_const(all)) {
            if (at + 2 > bytes.size() || quint8(bytes[at]) < 0x81 || quint8(bytes[at]) > 0xFE) {
                return {};
            }
            const auto second = quint8(bytes[at + 1]);
            const qsizetype length = (second >= '0' && second <= '9') ? 4 : 2;
            if (at + length > bytes.size()) return {};
            uint32_t code = 0;
            for (qsizetype i = 0; i < length; ++i) code = code << 8 | quint8(bytes[at + i]);
            codes[c.unicode()] = code;
            at += length;
        }
        if (at != bytes.size()) return {};
        return codes;
    }();
    return table;
}

}  // namespace

bool system::decodeCharacters(std::string_view bytes, char16_t*& out) {
    // A mark has been cut off already; one here is content and stays. Stateless: each run holds
    // whole characters, so one cut short (an invalid pair before a euro sign) is an error, not
    // bytes kept for a next run that never comes.
    QStringDecoder decoder(
        kCodecName, QStringConverter::Flag::ConvertInitialBom | QStringConverter::Flag::Stateless);
    if (!decoder.isValid()) return false;
    bool clean = true;
    const auto convert = [&](std::string_view run) {
        if (run.empty()) return;
        auto* const start = reinterpret_cast<QChar*>(out);
        QChar* const end =
            decoder.appendToBuffer(start, QByteArrayView(run.data(), qsizetype(run.size())));
        // A decoder that gives up may write nothing and report nothing.
        clean = clean && !decoder.hasError() && end != start;
        out = reinterpret_cast<char16_t*>(end);
    };
    // Most text holds neither Windows' euro sign nor a broken sequence: one run for all of it.
    char16_t* const first = out;
    if (bytes.find('\x80') == std::string_view::npos) {
        convert(bytes);
        if (clean) return true;
        out = first;
        clean = true;
    }
    // Otherwise the characters are walked. GB18030 lacks Windows' euro sign 0x80, which can also
    // be the second byte of a pair; and ICU takes a byte that starts no character together with
    // the bytes after it, whose characters would be lost. Each such byte becomes one U+FFFD.
    size_t run = 0;
    for (size_t at = 0; at < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        const int length = gb18030CharacterLength(bytes.substr(at));
        if (byte != 0x80 && length > 0) {
            at += size_t(length);
            continue;
        }
        convert(bytes.substr(run, at - run));
        clean = clean && byte == 0x80;
        *out++ = byte == 0x80 ? u'€' : u'\uFFFD';
        run = ++at;
    }
    convert(bytes.substr(run));
    return clean;
}

char* encodeGb18030(std::u16string_view text, char* out) {
    const std::vector<uint32_t>& codes = bmpCodes();
    if (codes.empty()) return nullptr;
    const auto write = [&](uint32_t code) {
        if (code > 0xFFFF) {
            *out++ = char(code >> 24);
            *out++ = char(code >> 16);
        }
        *out++ = char(code >> 8);
        *out++ = char(code);
    };
    for (const char16_t *at = text.data(), *end = at + text.size(); at < end; ++at) {
        const char16_t unit = *at;
        if (unit < 0x80) {
            *out++ = char(unit);
        } else if (unit == u'€') {
            // The euro sign as Windows writes it, so that its files come back byte for byte.
            *out++ = '\x80';
        } else if (!QChar::isSurrogate(unit)) {
            write(codes[unit]);
        } else if (QChar::isHighSurrogate(unit) && at + 1 < end && QChar::isLowSurrogate(at[1])) {
            const QByteArray pair = QStringEncoder(kCodecName).encode(QStringView(at++, 2));
            out = std::copy(pair.begin(), pair.end(), out);
        } else {
            write(codes[0xFFFD]);
        }
    }
    return out;
}

}  // namespace zelvo::text
