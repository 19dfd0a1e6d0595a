// Contacts files: any bytes after a vCard's first line or a CSV header are read without
// crashing, read the same whatever the size of the pieces they come in, and give entries that
// are a name without a comma or line break, a comma and an 11-digit mobile number, capped.
#include <QBuffer>
#include <QRegularExpression>

#include "fuzz_support.h"
#include "recipients/number_entry.h"
#include "recipients/phone_book.h"

using namespace zelvo::recipients;

namespace {

PhoneBookImport readInPieces(QByteArray bytes, qint64 pieceBytes) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return readPhoneBook(buffer, QStringLiteral("contacts.vcf"), {}, pieceBytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte picks the file's first line, so that the rest reaches the readers.
    static const QByteArray kFirstLines[] = {"BEGIN:VCARD\r\n", "Name,Phone 1 - Value\r\n", ""};
    const QByteArray rest = zelvo::fuzz::bytesOf(data, size);
    const QByteArray bytes = rest.isEmpty() ? rest : kFirstLines[quint8(rest[0]) % 3] + rest.mid(1);
    const PhoneBookImport whole = readInPieces(bytes, qint64(bytes.size()) + 1);
    const PhoneBookImport pieces = readInPieces(bytes, 1 + (size > 1 ? data[1] % 7 : 0));
    FUZZ_CHECK(whole.ok == pieces.ok && whole.error == pieces.error);
    FUZZ_CHECK(whole.format == pieces.format);
    FUZZ_CHECK(whole.entries == pieces.entries && whole.leftOut == pieces.leftOut);
    FUZZ_CHECK(whole.entries.size() <= MaxListEntries);
    if (whole.format == BookFormat::Lines) return 0;
    static const QRegularExpression kEntry(QStringLiteral("^[^,\\r\\n]*,1[3-9][0-9]{9}$"));
    for (const QStringView entry : whole.entries)
        FUZZ_CHECK(kEntry.match(entry.toString()).hasMatch());
    return 0;
}
