// Phone book files: any bytes are read without crashing, read the same whatever the size of the
// pieces they come in, and give entries that are whole lines with an ASCII comma, capped.
#include <QBuffer>

#include "fuzz_support.h"
#include "recipients/number_entry.h"
#include "recipients/phone_book.h"

using namespace zelvo::recipients;

namespace {

PhoneBookImport readInPieces(QByteArray bytes, qint64 pieceBytes) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return readPhoneBook(buffer, QStringLiteral("book.txt"), {}, pieceBytes);
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
    return 0;
}
