#include "settings/text_codec.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <optional>
#include <vector>

namespace zelvo::settings {
namespace {

constexpr const char* kCodecName = "GB18030";

QString withoutLoneSurrogates(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
        } else {
            out += c.isSurrogate() ? QChar(QChar::ReplacementCharacter) : c;
        }
    }
    return out;
}

// The GB18030 bytes of each character of the Basic Multilingual Plane but the surrogates, asked
// of the codec once: it converts some 2.5 ns a character, and a full number list is a million
// characters. A 2-byte code is below 0x10000, a 4-byte code above. Empty when the codec is
// missing or answers in a way the table cannot hold; the codec is then used directly.
const std::vector<quint32>& bmpCodes() {
    static const std::vector<quint32> table = []() -> std::vector<quint32> {
        QStringEncoder encoder(kCodecName, QStringConverter::Flag::Stateless);
        if (!encoder.isValid()) return {};
        QString all;
        all.reserve(0x10000);
        for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
            if (!QChar::isSurrogate(c)) all += QChar(char16_t(c));
        }
        const QByteArray bytes = encoder.encode(all);
        if (encoder.hasError()) return {};
        std::vector<quint32> codes(0x10000, 0);
        qsizetype at = 0;
        for (const QChar c : std::as_const(all)) {
            if (at + 2 > bytes.size() || quint8(bytes[at]) < 0x81 || quint8(bytes[at]) > 0xFE) {
                return {};
            }
            const auto second = quint8(bytes[at + 1]);
            const qsizetype length = (second >= '0' && second <= '9') ? 4 : 2;
            if (at + length > bytes.size()) return {};
            quint32 code = 0;
            for (qsizetype i = 0; i < length; ++i) code = code << 8 | quint8(bytes[at + i]);
            codes[c.unicode()] = code;
            at += length;
        }
        if (at != bytes.size()) return {};
        return codes;
    }();
    return table;
}

// Text without surrogates through the table; nothing when a surrogate turns up.
std::optional<QByteArray> encodeBmp(QStringView text, const std::vector<quint32>& codes) {
    QByteArray out(text.size() * 4, Qt::Uninitialized);
    auto* write = reinterpret_cast<quint8*>(out.data());
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit < 0x80) {
            *write++ = quint8(unit);
            continue;
        }
        if (c.isSurrogate()) return std::nullopt;
        const quint32 code = codes[unit];
        if (code > 0xFFFF) {
            *write++ = quint8(code >> 24);
            *write++ = quint8(code >> 16);
        }
        *write++ = quint8(code >> 8);
        *write++ = quint8(code);
    }
    out.truncate(write - reinterpret_cast<quint8*>(out.data()));
    return out;
}

// Windows' GBK (code page 936) has the euro sign as the single byte 0x80, which GB18030
// does not accept; GB18030 spells it A2 E3. 0x80 can also be the second byte of a pair,
// so walk the characters rather than replacing every 0x80.
QByteArray withGb18030Euro(QByteArrayView bytes) {
    if (!bytes.contains('\x80')) return bytes.toByteArray();
    QByteArray out;
    out.reserve(bytes.size() + 8);
    qsizetype i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        qsizetype length = 1;
        if (lead == 0x80) {
            out += "\xA2\xE3";
            ++i;
            continue;
        }
        if (lead >= 0x81 && lead <= 0xFE && i + 1 < bytes.size()) {
            const auto next = static_cast<unsigned char>(bytes[i + 1]);
            length = (next >= '0' && next <= '9') ? 4 : 2;
        }
        out += bytes.sliced(i, std::min(length, bytes.size() - i));
        i += length;
    }
    return out;
}

}  // namespace

bool gb18030Available() {
    return QStringEncoder(kCodecName).isValid();
}

QByteArray encodeGb18030(QStringView text) {
    if (const std::vector<quint32>& codes = bmpCodes(); !codes.empty()) {
        if (std::optional<QByteArray> bytes = encodeBmp(text, codes)) return *std::move(bytes);
    }
    QStringEncoder encoder(kCodecName, QStringConverter::Flag::Stateless);
    if (!encoder.isValid()) return {};
    if (!text.isValidUtf16()) return encoder.encode(withoutLoneSurrogates(text));
    return encoder.encode(text);
}

QString decodeFileText(QByteArrayView bytes) {
    if (const auto marked = QStringConverter::encodingForData(bytes)) {
        // The decoder drops the byte order mark itself.
        return QStringDecoder(*marked, QStringConverter::Flag::Stateless).decode(bytes);
    }
    QStringDecoder decoder(kCodecName, QStringConverter::Flag::Stateless);
    if (!decoder.isValid()) return {};
    // Without a euro sign the bytes are decoded where they are, without a copy.
    if (!bytes.contains('\x80')) return decoder.decode(bytes);
    return decoder.decode(withGb18030Euro(bytes));
}

}  // namespace zelvo::settings
