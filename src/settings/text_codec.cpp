#include "settings/text_codec.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>

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
    return decoder.decode(withGb18030Euro(bytes));
}

}  // namespace zelvo::settings
