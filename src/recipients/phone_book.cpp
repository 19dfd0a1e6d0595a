#include "recipients/phone_book.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <memory>
#include <optional>

#include "files/user_file.h"
#include "recipients/contact_book.h"
#include "recipients/line_count.h"
#include "recipients/line_splitter.h"
#include "recipients/number_entry.h"
#include "text/text_codec.h"

namespace zelvo::recipients {

namespace {

using text::TextDecoder;

// The lines of a phone book's text, given in pieces: keeps the lines with a comma until the
// list is full and only counts them after that. A line with an ASCII comma is kept whole; in a
// line with only full-width commas, as a Chinese input method types them, the first becomes
// the ASCII comma that the list reads as the separator.
class EntryCollector {
public:
    // False when the text holds a NUL character, or a line of an entry longer than the list
    // takes (then overlongLine() tells which).
    bool add(QStringView text) {
        if (full()) return countLines(splitter_.continued(text));
        bool fine = true;
        const std::optional<QStringView> rest =
            splitter_.split(text, [&](QStringView part, bool ends) {
                fine = scan(part) && (!ends || endLine(part));
                if (fine && !ends) {
                    // Never more than one character past the longest entry: a line of hundreds
                    // of megabytes is only measured.
                    line_ += part.first(std::min(part.size(), MaxEntryLength + 1 - line_.size()));
                    lineGoesOn_ = true;
                }
                return fine && !full() ? LineSplitter::Next::Go : LineSplitter::Next::Stop;
            });
        return fine && (!rest || countLines(*rest));
    }

    // A last line without a line end counts too. False as add() is.
    bool finish() { return !(lineGoesOn_ || lineHasComma_) || endLine({}); }

    EntryList& entries() { return entries_; }
    int leftOut() const { return leftOut_; }
    qint64 overlongLine() const { return overlongLine_; }

private:
    bool full() const { return entries_.size() >= MaxListEntries; }

    // Past the list's limit lines are only counted, and lineHasComma_ tells of either comma.
    bool countLines(QStringView rest) {
        LineCount count{leftOut_, lineHasComma_};
        if (!countCommaLines(rest, count)) return false;
        leftOut_ = count.withComma;
        lineHasComma_ = count.comma;
        splitter_.passed(rest);
        return true;
    }

    // Notes the commas of a stretch of the line; false at a NUL character.
    bool scan(QStringView part) {
        for (const QChar c : part) {
            if (c == u',') {
                lineHasComma_ = true;
            } else if (c == FullWidthComma) {
                lineHasFullWidthComma_ = true;
            } else if (c.isNull()) {
                return false;
            }
        }
        return true;
    }

    bool endLine(QStringView tail) {
        ++lineNumber_;
        if ((lineHasComma_ || lineHasFullWidthComma_) && !full() &&
            line_.size() + tail.size() > MaxEntryLength) {
            overlongLine_ = lineNumber_;
            return false;
        }
        if (lineHasComma_) {
            if (full()) {
                ++leftOut_;
            } else if (line_.isEmpty()) {
                entries_.append(tail);
            } else {
                entries_.append(line_ += tail);
            }
        } else if (lineHasFullWidthComma_) {
            line_ += tail;
            line_[line_.indexOf(FullWidthComma)] = u',';
            entries_.append(line_);
        }
        line_.clear();
        lineHasComma_ = false;
        lineHasFullWidthComma_ = false;
        lineGoesOn_ = false;
        return true;
    }

    EntryList entries_;
    int leftOut_ = 0;
    QString line_;  // the line so far when it goes on in the next piece
    bool lineHasComma_ = false;
    bool lineHasFullWidthComma_ = false;
    bool lineGoesOn_ = false;
    LineSplitter splitter_;
    qint64 lineNumber_ = 0;
    qint64 overlongLine_ = 0;  // the line, counted from 1, of an entry too long for the list
};

// A phone book's text in pieces, handed to the reader that its first line that is not blank
// asks for. That line is looked for in the first characters only: a file that has none there
// is a file of entry lines.
class BookText {
public:
    BookText() = default;
    // Contacts whose bytes go to their reader as they are (see ContactReader).
    explicit BookText(BookFormat contacts) : format_(contacts) {
        contacts_ = std::make_unique<ContactBook>(contacts, true);
    }

    // False when the text holds a NUL character.
    bool add(QStringView text, bool atEnd) {
        if (format_) return feed(text);
        head_ += text;
        const QStringView head = QStringView(head_).trimmed();
        const auto lineEnd = std::find_if(head.begin(), head.end(),
                                          [](QChar c) { return c == u'\r' || c == u'\n'; });
        if (lineEnd == head.end() && !atEnd && head_.size() < kFirstLineLength) return true;
        format_ = bookFormatOf(head.first(lineEnd - head.begin()));
        if (format_ != BookFormat::Lines) contacts_ = std::make_unique<ContactBook>(*format_);
        return feed(std::exchange(head_, {}));
    }

    // False as add() is.
    bool finish() {
        if (!contacts_) return lines_.finish();
        contacts_->finish();
        return true;
    }

    qint64 overlongLine() const { return contacts_ ? 0 : lines_.overlongLine(); }
    BookFormat format() const { return format_.value_or(BookFormat::Lines); }
    EntryList& entries() { return contacts_ ? contacts_->found().entries() : lines_.entries(); }
    int leftOut() { return contacts_ ? contacts_->found().leftOut() : lines_.leftOut(); }

private:
    static constexpr qsizetype kFirstLineLength = 1 << 16;

    bool feed(QStringView text) { return contacts_ ? contacts_->add(text) : lines_.add(text); }

    std::optional<BookFormat> format_;
    QString head_;  // the text before the format is known
    EntryCollector lines_;
    // On the heap: GCC's -O1 takes a QString inside an optional ContactBook for uninitialised.
    std::unique_ptr<ContactBook> contacts_;
};

PhoneBookImport refused(QString error) {
    PhoneBookImport result;
    result.error = std::move(error);
    return result;
}

}  // namespace

PhoneBookImport readPhoneBook(const QString& path, const ImportProgress& progress,
                              qint64 pieceBytes) {
    const files::OpenedFile opened = files::openForReading(path);
    if (opened.file) {
        return readPhoneBook(*opened.file, QDir::toNativeSeparators(path), progress, pieceBytes);
    }
    if (!opened.exists)
        return refused(QStringLiteral("找不到文件 %1。").arg(QDir::toNativeSeparators(path)));
    return refused((opened.refusal.isEmpty() ? opened.error : opened.refusal) + u'。');
}

PhoneBookImport readPhoneBook(QIODevice& device, const QString& shownName,
                              const ImportProgress& progress, qint64 pieceBytes) {
    const qint64 total = device.size();
    // An entry the list cannot hold would not load from set.ini again: the whole file is refused.
    const auto notText = [&](const BookText& lines) {
        if (const qint64 line = lines.overlongLine()) {
            return refused(QStringLiteral("%1 的第 %2 行超过 %3 个字符, 不是一条号码。")
                               .arg(shownName)
                               .arg(line)
                               .arg(MaxEntryLength));
        }
        return refused(QStringLiteral("%1 不是文本文件。").arg(shownName));
    };
    QByteArray piece(qsizetype(std::max<qint64>(pieceBytes, 1)), Qt::Uninitialized);
    // Nothing when the file, read as UTF-8 on trial, turned out not to be.
    // byteFields: the contacts format of a file read byte for byte, its fields decoded each alone.
    const auto readAs =
        [&](TextDecoder::Encoding unmarked,
            std::optional<BookFormat> byteFields = {}) -> std::optional<PhoneBookImport> {
        const bool onTrial = unmarked == TextDecoder::Encoding::Utf8;
        if (!device.seek(0)) return refused(QStringLiteral("无法读取文件 %1。").arg(shownName));
        TextDecoder decoder(unmarked);
        BookText lines = byteFields ? BookText(*byteFields) : BookText();
        qint64 done = 0;
        bool nulByte = false;
        for (bool atEnd = false; !atEnd;) {
            const qint64 got = device.read(piece.data(), piece.size());
            if (got < 0) return refused(QStringLiteral("无法读取文件 %1。").arg(shownName));
            done += got;
            atEnd = got == 0;
            nulByte = nulByte || QByteArrayView(piece).first(got).contains('\0');
            const QString text = byteFields ? QString::fromLatin1(piece.constData(), got)
                                 : atEnd    ? decoder.finish()
                                            : decoder.decode(QByteArrayView(piece).first(got));
            if (decoder.hasError() && onTrial && !decoder.marked()) return std::nullopt;
            // A picture or an archive chosen by mistake would otherwise fill the list with junk.
            // Outside UTF-16 a NUL byte is a NUL character, and it is looked for in the bytes:
            // after a broken character the decoder may drop the one that follows.
            const std::optional<TextDecoder::Encoding> encoding = decoder.encoding();
            const bool utf16 = encoding == TextDecoder::Encoding::Utf16LE ||
                               encoding == TextDecoder::Encoding::Utf16BE;
            if (!lines.add(text, atEnd) || (nulByte && encoding && !utf16)) return notText(lines);
            if (!atEnd && progress && !progress(done, total)) {
                PhoneBookImport stopped;
                stopped.cancelled = true;
                return stopped;
            }
        }
        if (decoder.hasError()) {
            PhoneBookImport undecodable =
                refused(QStringLiteral("无法识别文件 %1 的编码 (应为 UTF-8、UTF-16 或 GBK 文本)。")
                            .arg(shownName));
            undecodable.format = lines.format();
            return undecodable;
        }
        if (!lines.finish()) return notText(lines);
        PhoneBookImport result;
        result.ok = true;
        result.format = lines.format();
        result.entries = std::move(lines.entries());
        result.leftOut = lines.leftOut();
        return result;
    };
    // Phone books written on a Chinese Windows are GBK; GBK text with a Chinese name is almost
    // never valid UTF-8, so a file that is valid UTF-8 throughout is taken as such. A GBK file
    // shows itself in its first line, so the second reading rarely repeats more than a piece.
    if (std::optional<PhoneBookImport> utf8 = readAs(TextDecoder::Encoding::Utf8)) return *utf8;
    PhoneBookImport gb18030 = *readAs(TextDecoder::Encoding::Gb18030);
    // An address book is never refused for its names alone, as an old mail program's export in
    // its Western code page would be: its numbers are ASCII. Only such a file is read field by
    // field, since a short GBK name is valid UTF-8 often enough to be misread on its own.
    if (gb18030.ok || gb18030.format == BookFormat::Lines) return gb18030;
    return *readAs(TextDecoder::Encoding::Gb18030, gb18030.format);
}

}  // namespace zelvo::recipients
