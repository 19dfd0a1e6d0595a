#include "text/text_codec.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <optional>
#include <vector>

namespace zelvo::text {
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
// of the codec once: it converts some 2.5 ns a character, and a file to write can be a million
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

// The length of the GB18030 character that starts with lead, given the byte after it (or -1
// when the piece ends there): 0 when that byte is needed to tell. Bytes that cannot start a
// character count as one; the decoder reports them.
qsizetype gb18030Length(quint8 lead, int next) {
    if (lead < 0x81 || lead == 0xFF) return 1;
    if (next < 0) return 0;
    return (next >= '0' && next <= '9') ? 4 : 2;
}

// Whether bytes, shorter than the character their lead byte starts, can still become one.
bool canGrowIntoCharacter(QByteArrayView bytes) {
    const auto at = [&](qsizetype i) { return static_cast<quint8>(bytes[i]); };
    if (bytes.size() > 1 && !(at(1) >= 0x30 && at(1) != 0x7F && at(1) != 0xFF)) return false;
    if (bytes.size() > 1 && at(1) > 0x39 && at(1) < 0x40) return false;
    return bytes.size() < 3 || (at(2) >= 0x81 && at(2) <= 0xFE);
}

// Where the last complete character of bytes ends, bytes starting with a whole character.
// Bytes below 0x30 are never part of a longer character, so the walk starts after the last one.
qsizetype endOfWholeCharacters(QByteArrayView bytes) {
    const auto* data = reinterpret_cast<const quint8*>(bytes.data());
    const qsizetype size = bytes.size();
    qsizetype at = size;
    while (at > 0 && data[at - 1] >= 0x30) --at;
    while (at < size) {
        const qsizetype length = gb18030Length(data[at], at + 1 < size ? data[at + 1] : -1);
        if (length == 0 || at + length > size) {
            return canGrowIntoCharacter(bytes.sliced(at)) ? at : size;
        }
        at += length;
    }
    return at;
}

// Windows' GBK (code page 936) has the euro sign as the single byte 0x80, which GB18030
// does not accept; GB18030 spells it A2 E3. 0x80 can also be the second byte of a pair,
// so walk the characters (bytes starts with a whole one) rather than replacing every 0x80.
QByteArray withGb18030Euro(QByteArrayView bytes) {
    QByteArray out;
    out.reserve(bytes.size() + 8);
    qsizetype i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<quint8>(bytes[i]);
        if (lead == 0x80) {
            out += "\xA2\xE3";
            ++i;
            continue;
        }
        const qsizetype length =
            gb18030Length(lead, i + 1 < bytes.size() ? static_cast<quint8>(bytes[i + 1]) : -1);
        out += bytes.sliced(i, std::min(std::max<qsizetype>(length, 1), bytes.size() - i));
        i += std::max<qsizetype>(length, 1);
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

TextDecoder::TextDecoder(Encoding unmarked) : unmarked_(unmarked) {}

QString TextDecoder::decode(QByteArrayView piece) {
    if (started_) return decodeRest(piece);
    // The mark is at most three bytes long; the first piece is looked at in place when it can.
    if (pending_.isEmpty() && piece.size() >= 3) return decodeRest(piece.sliced(start(piece)));
    pending_ += piece;
    if (pending_.size() < 3) return {};
    const QByteArray head = std::exchange(pending_, {});
    return decodeRest(QByteArrayView(head).sliced(start(head)));
}

QString TextDecoder::finish() {
    QString text;
    if (!started_) {
        const QByteArray head = std::exchange(pending_, {});
        text = decodeRest(QByteArrayView(head).sliced(start(head)));
    }
    if (gb18030_) {
        if (!pending_.isEmpty()) {
            error_ = true;
            text += QChar(QChar::ReplacementCharacter);
            pending_.clear();
        }
    } else if (decoder_->isValid()) {
        // Qt's decoders keep a cut-off character to themselves; a line feed after it shows it.
        const QByteArray lineFeed = encoding_ == Encoding::Utf16LE   ? QByteArray("\n\0", 2)
                                    : encoding_ == Encoding::Utf16BE ? QByteArray("\0\n", 2)
                                                                     : QByteArray("\n");
        if (QString(decoder_->decode(lineFeed)) != u"\n" || decoder_->hasError()) {
            error_ = true;
            text += QChar(QChar::ReplacementCharacter);
        }
    }
    charactersOut_ += text.size();
    // A decoder that gives up on its input may return nothing and report nothing.
    if (bytesIn_ > 0 && charactersOut_ == 0) error_ = true;
    return text;
}

qsizetype TextDecoder::start(QByteArrayView head) {
    started_ = true;
    qsizetype markLength = 0;
    Encoding encoding = unmarked_;
    if (head.startsWith("\xEF\xBB\xBF")) {
        encoding = Encoding::Utf8;
        markLength = 3;
    } else if (head.startsWith("\xFF\xFE")) {
        encoding = Encoding::Utf16LE;
        markLength = 2;
    } else if (head.startsWith("\xFE\xFF")) {
        encoding = Encoding::Utf16BE;
        markLength = 2;
    }
    marked_ = markLength > 0;
    encoding_ = encoding;
    gb18030_ = encoding == Encoding::Gb18030;
    // The mark has been cut off already; a second one is content and stays.
    const auto flags = QStringConverter::Flag::ConvertInitialBom;
    switch (encoding) {
        case Encoding::Gb18030:
            decoder_.emplace(kCodecName, flags);
            break;
        case Encoding::Utf8:
            decoder_.emplace(QStringConverter::Utf8, flags);
            break;
        case Encoding::Utf16LE:
            decoder_.emplace(QStringConverter::Utf16LE, flags);
            break;
        case Encoding::Utf16BE:
            decoder_.emplace(QStringConverter::Utf16BE, flags);
            break;
    }
    if (!decoder_->isValid()) error_ = true;
    return markLength;
}

QString TextDecoder::decodeRest(QByteArrayView bytes) {
    bytesIn_ += bytes.size();
    if (!decoder_->isValid() || bytes.isEmpty()) return {};
    QString text = gb18030_ ? decodeGb18030(bytes) : QString(decoder_->decode(bytes));
    if (decoder_->hasError()) error_ = true;
    charactersOut_ += text.size();
    return text;
}

// Whole characters only go to the codec: the euro sign needs to be told from a second byte,
// and the codec's own state cannot be asked whether it holds the start of one at the end.
QString TextDecoder::decodeGb18030(QByteArrayView piece) {
    QString text;
    if (!pending_.isEmpty()) {
        QByteArray joined = pending_;
        joined += piece.first(std::min<qsizetype>(piece.size(), 3));
        const qsizetype length =
            gb18030Length(quint8(joined[0]), joined.size() > 1 ? quint8(joined[1]) : -1);
        if ((length == 0 || length > joined.size()) && canGrowIntoCharacter(joined)) {
            pending_ = std::move(joined);
            return {};
        }
        if (length == 0 || length > joined.size()) {
            // The bytes that follow show that the start is no character; they are read afresh,
            // as the codec reads them after a broken start.
            pending_.clear();
            error_ = true;
            text = QString(QChar(QChar::ReplacementCharacter));
        } else {
            piece = piece.sliced(length - pending_.size());
            pending_.clear();
            text = decodeWhole(QByteArrayView(joined).first(length));
        }
    }
    const qsizetype end = endOfWholeCharacters(piece);
    pending_ = piece.sliced(end).toByteArray();
    if (text.isEmpty()) return decodeWhole(piece.first(end));
    return text += decodeWhole(piece.first(end));
}

QString TextDecoder::decodeWhole(QByteArrayView characters) {
    if (characters.isEmpty()) return {};
    QString text = characters.contains('\x80')
                       ? QString(decoder_->decode(withGb18030Euro(characters)))
                       : QString(decoder_->decode(characters));
    if (text.isEmpty()) error_ = true;
    return text;
}

QString decodeFileText(QByteArrayView bytes, bool* clean) {
    TextDecoder decoder;
    QString text = decoder.decode(bytes);
    text += decoder.finish();
    if (clean) *clean = !decoder.hasError();
    return text;
}

}  // namespace zelvo::text
