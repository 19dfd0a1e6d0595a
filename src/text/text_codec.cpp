#include "text/text_codec.h"

#include <QStringDecoder>
#include <optional>

namespace zelvo::text {
namespace {

// What write() writes at a buffer of room units, as the text's own storage.
template <typename Write>
QString writtenText(qsizetype room, Write write) {
    QString text(room, Qt::Uninitialized);
    auto* const start = reinterpret_cast<char16_t*>(text.data());
    text.truncate(write(start) - start);
    return text;
}

}  // namespace

std::optional<QByteArray> encodeGb18030(QStringView text) {
    QByteArray bytes(4 * text.size(), Qt::Uninitialized);
    const char* const end = text::encodeGb18030(
        {reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())}, bytes.data());
    if (!end) return std::nullopt;
    bytes.truncate(end - bytes.constData());
    return bytes;
}

TextDecoder::TextDecoder(Encoding unmarked) : unmarked_(unmarked) {}

QString TextDecoder::decode(QByteArrayView piece) {
    if (started_) return decodeRest(piece);
    // The mark is at most three bytes long; the first piece is looked at in place when it can.
    if (head_.isEmpty() && piece.size() >= 3) return decodeRest(piece.sliced(start(piece)));
    head_ += piece;
    if (head_.size() < 3) return {};
    const QByteArray head = std::exchange(head_, {});
    return decodeRest(QByteArrayView(head).sliced(start(head)));
}

QString TextDecoder::finish() {
    QString text;
    if (!started_) {
        const QByteArray head = std::exchange(head_, {});
        text = decodeRest(QByteArrayView(head).sliced(start(head)));
    }
    if (encoding_ == Encoding::Gb18030) {
        text += writtenText(Gb18030Decoder::roomFor(0),
                            [&](char16_t* out) { return gb18030_.finish(out); });
        error_ = error_ || gb18030_.hasError();
    } else {
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
    // The mark has been cut off already; a second one is content and stays.
    const auto flags = QStringConverter::Flag::ConvertInitialBom;
    if (encoding == Encoding::Utf8) decoder_.emplace(QStringConverter::Utf8, flags);
    if (encoding == Encoding::Utf16LE) decoder_.emplace(QStringConverter::Utf16LE, flags);
    if (encoding == Encoding::Utf16BE) decoder_.emplace(QStringConverter::Utf16BE, flags);
    return markLength;
}

QString TextDecoder::decodeRest(QByteArrayView bytes) {
    bytesIn_ += bytes.size();
    if (bytes.isEmpty()) return {};
    QString text;
    if (encoding_ == Encoding::Gb18030) {
        text = writtenText(Gb18030Decoder::roomFor(bytes.size()), [&](char16_t* out) {
            return gb18030_.decode({bytes.data(), size_t(bytes.size())}, out);
        });
        error_ = error_ || gb18030_.hasError();
    } else {
        text = decoder_->decode(bytes);
        error_ = error_ || decoder_->hasError();
    }
    charactersOut_ += text.size();
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
