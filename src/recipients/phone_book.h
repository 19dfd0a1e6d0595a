#pragma once

#include <QIODevice>
#include <QString>
#include <functional>

#include "recipients/book_format.h"
#include "recipients/entry_list.h"

namespace zelvo::recipients {

// A phone book is text: UTF-8 or UTF-16 with a byte order mark, UTF-8 without one when the
// whole file is valid UTF-8, GB18030 (which reads GBK) otherwise. Lines end in CR LF, a lone CR
// or a lone LF. In a file of entry lines, a line holding an ASCII comma is an entry, whole; a
// line holding only full-width commas (，) is one too, its first comma made ASCII. A vCard or
// CSV file gives one entry "name,number" for each mobile number of each contact.
struct PhoneBookImport {
    bool ok = false;
    BookFormat format = BookFormat::Lines;
    bool cancelled = false;  // the progress callback stopped it
    QString error;           // for the user, when neither: the path and why it was refused
    EntryList entries;       // the entries in file order, at most MaxListEntries
    int leftOut = 0;         // entries past MaxListEntries, counted only
};

// Told the bytes read so far and the file's size after each piece; false stops the import.
using ImportProgress = std::function<bool(qint64 done, qint64 total)>;

inline constexpr qint64 kPhoneBookPieceBytes = 1024 * 1024;

// Reads the phone book at path piece by piece, so that memory holds no more than the entries
// kept and one piece. A missing path, a folder, something that is no regular file, a read
// failure, a file with NUL characters (no text file has them) or with bytes that its encoding
// does not read is refused.
PhoneBookImport readPhoneBook(const QString& path, const ImportProgress& progress = {},
                              qint64 pieceBytes = kPhoneBookPieceBytes);

// The same from an open device; `shownName` is what error messages call it. The device is read
// from its start, and twice when a file that began as valid UTF-8 turns out not to be.
PhoneBookImport readPhoneBook(QIODevice& device, const QString& shownName,
                              const ImportProgress& progress = {},
                              qint64 pieceBytes = kPhoneBookPieceBytes);

}  // namespace zelvo::recipients
