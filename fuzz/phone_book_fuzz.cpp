// Phone book files: any bytes are read without crashing, read the same whatever the size of the
// pieces they come in, and give entries that are whole lines with an ASCII comma, capped. The
// count of the lines past the list's limit, sixteen characters at a time, agrees with its plain
// twin on texts that the same bytes spell.
#include <QBuffer>

#include "fuzz_support.h"
#include "recipients/line_count.h"
#include "recipients/number_entry.h"
#include "recipients/phone_book.h"

using namespace zelvo::recipients;

namespace {

PhoneBookImport readInPieces(QByteArray bytes, qint64 pieceBytes) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return readPhoneBook(buffer, QStringLiteral("book.txt"), {}, pieceBytes);
}

// Each byte but the first picks a character that matters to the counter (a NUL rarely, as it
// ends the count); the first byte picks the size of the pieces the text comes in.
void checkLineCounter(const uint8_t* data, size_t size) {
    static const QString alphabet = QString(24, u'a') + QStringLiteral("李，,\r\n");
    QString text;
    for (size_t i = 1; i < size; ++i)
        text += data[i] == 0xFF ? QChar(0) : alphabet[data[i] % alphabet.size()];
    const qsizetype piece = size > 0 ? 1 + data[0] % 40 : 1;
    LineCount fast, plain;
    bool fastOk = true, plainOk = true;
    for (qsizetype at = 0; at < text.size(); at += piece) {
        const QStringView part =
            QStringView(text).sliced(at).first(std::min(piece, text.size() - at));
        fastOk = fastOk && countCommaLines(part, fast);
        plainOk = plainOk && countCommaLinesPlain(part, plain);
    }
    // After a NUL the file is refused, whatever was counted.
    FUZZ_CHECK(fastOk == plainOk);
    FUZZ_CHECK(!fastOk || (fast.withComma == plain.withComma && fast.comma == plain.comma));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = zelvo::fuzz::bytesOf(data, size);
    const PhoneBookImport whole = readInPieces(bytes, qint64(size) + 1);
    const qint64 pieceBytes = size > 0 ? 1 + data[0] % 7 : 1;
    const PhoneBookImport pieces = readInPieces(bytes, pieceBytes);
    FUZZ_CHECK(whole.ok == pieces.ok && whole.error == pieces.error);
    FUZZ_CHECK(whole.entries == pieces.entries && whole.leftOut == pieces.leftOut);
    FUZZ_CHECK(whole.ok == whole.error.isEmpty() && !whole.cancelled);

    FUZZ_CHECK(whole.entries.size() <= MaxListEntries);
    FUZZ_CHECK(whole.leftOut == 0 || whole.entries.size() == MaxListEntries);
    for (const QStringView entry : whole.entries) {
        FUZZ_CHECK(entry.contains(u',') && !entry.contains(u'\r') && !entry.contains(u'\n'));
    }
    checkLineCounter(data, size);
    return 0;
}
