#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QStringView>
#include <optional>

namespace zelvo::text {

// Text files of a Chinese Windows are in its ANSI code page (GBK). They are written here in
// GB18030, its superset, so that every character the user can type (emoji, rare CJK) survives.

// False when this Qt has no GB18030 codec (built without ICU); nothing can be written then.
bool gb18030Available();

// The GB18030 bytes of text. An unpaired surrogate, which is no character at all, becomes
// U+FFFD. Empty when the codec is missing.
QByteArray encodeGb18030(QStringView text);

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
    QString decodeGb18030(QByteArrayView piece);
    QString decodeWhole(QByteArrayView characters);

    Encoding unmarked_;
    Encoding encoding_ = Encoding::Gb18030;
    bool started_ = false;
    bool marked_ = false;
    bool gb18030_ = false;
    bool error_ = false;
    qint64 bytesIn_ = 0;
    qint64 charactersOut_ = 0;
    QByteArray pending_;  // the start of the file before the mark is known, or a cut character
    // Made in place: an ICU-backed decoder that was moved reports no errors (Qt 6.4).
    std::optional<QStringDecoder> decoder_;
};

// The text of a whole file, as TextDecoder decodes it; `clean`, when given, says whether it
// reported no error.
QString decodeFileText(QByteArrayView bytes, bool* clean = nullptr);

}  // namespace zelvo::text
