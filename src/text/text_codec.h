#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QStringView>
#include <optional>

#include "text/gb18030.h"

namespace zelvo::text {

// Text files as a Chinese Windows writes them (see gb18030.h), for Qt's strings.

// The bytes of text; nothing when the system cannot write one of its characters.
std::optional<QByteArray> encodeGb18030(QStringView text);

// Decodes a text file given in pieces of any size, so that a large file never needs to be in
// memory whole. The file is GB18030 (and so GBK, including Windows' single-byte euro sign 0x80)
// unless it starts with a byte order mark: editors add one when they save as UTF-8 or UTF-16,
// and then that encoding is used. A character split between two pieces comes out whole.
// Undecodable bytes become U+FFFD and are reported by hasError(), and so is a missing codec, a
// character cut off by the end of the file, or a non-empty file that gave no text at all.
class TextDecoder {
public:
    enum class Encoding { Gb18030, Utf8, Utf16LE, Utf16BE };

    // `unmarked` is the encoding of a file without a byte order mark.
    explicit TextDecoder(Encoding unmarked = Encoding::Gb18030);
    TextDecoder(const TextDecoder&) = delete;
    TextDecoder& operator=(const TextDecoder&) = delete;

    // The text of the next piece. The first bytes may be held back until the mark is known.
    QString decode(QByteArrayView piece);
    // The rest of the text once the last piece was given.
    QString finish();

    bool hasError() const { return error_; }
    // Whether the encoding came from a byte order mark; known once three bytes were given.
    bool marked() const { return marked_; }
    // The encoding in use once it is known (three bytes given, or finish() called).
    std::optional<Encoding> encoding() const {
        return started_ ? std::optional(encoding_) : std::nullopt;
    }

private:
    // Chooses the encoding; returns the length of the mark to skip.
    qsizetype start(QByteArrayView head);
    QString decodeRest(QByteArrayView bytes);

    Encoding unmarked_;
    Encoding encoding_ = Encoding::Gb18030;
    bool started_ = false;
    bool marked_ = false;
    bool error_ = false;
    qint64 bytesIn_ = 0;
    qint64 charactersOut_ = 0;
    QByteArray head_;  // the start of the file before the mark is known
    Gb18030Decoder gb18030_;
    std::optional<QStringDecoder> decoder_;  // UTF-8 and UTF-16
};

// The text of a whole file, as TextDecoder decodes it; `clean`, when given, says whether it
// reported no error.
QString decodeFileText(QByteArrayView bytes, bool* clean = nullptr);

}  // namespace zelvo::text
