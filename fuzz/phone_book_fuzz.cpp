// Phone book files: any bytes decode and split without crashing; the lines are the text cut
// at its line ends, and the entries are the lines with an ASCII comma, in order, capped.
#include "fuzz_support.h"
#include "recipients/number_entry.h"
#include "recipients/phone_book.h"

using namespace zelvo::recipients;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = decodePhoneBook(zelvo::fuzz::bytesOf(data, size));
    const QStringList lines = splitPhoneBookLines(text);

    QString lineFeedsOnly = text;
    lineFeedsOnly.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    const QString joined = lines.join(u'\n');
    FUZZ_CHECK(lineFeedsOnly == joined || lineFeedsOnly == joined + u'\n');
    for (const QString& line : lines) {
        FUZZ_CHECK(!line.contains(u'\r') && !line.contains(u'\n'));
    }

    const PhoneBookEntries book = phoneBookEntries(lines);
    qsizetype withComma = 0;
    for (const QString& line : lines) withComma += line.contains(u',') ? 1 : 0;
    FUZZ_CHECK(book.entries.size() <= MaxListEntries);
    FUZZ_CHECK(book.entries.size() + book.leftOut == withComma);
    qsizetype next = 0;
    for (const QString& entry : book.entries) {
        while (next < lines.size() && !lines[next].contains(u',')) ++next;
        FUZZ_CHECK(next < lines.size() && lines[next] == entry);
        ++next;
    }
    return 0;
}
