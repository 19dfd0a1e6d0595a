#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zelvo::recipients {

// Text of a phone book file: UTF-8 (with or without BOM) or UTF-16 with BOM when the bytes
// say so, GB18030 (which reads GBK) otherwise. Undecodable bytes become U+FFFD; `clean`, when
// given, says whether there were none.
QString decodePhoneBook(const QByteArray& bytes, bool* clean = nullptr);

// Lines ended by CR LF, a lone CR or a lone LF; the line ends are dropped.
QStringList splitPhoneBookLines(const QString& text);

struct TextLines {
    bool ok = false;
    QString error;  // for the user, when !ok: the path and why it could not be read
    QStringList lines;
};
// Reads a text file by lines. A missing path, a folder, a read failure, a file with NUL
// characters (no text file has them) or with bytes no supported encoding reads is !ok.
TextLines readTextLines(const QString& path);

struct PhoneBookEntries {
    QStringList entries;  // lines holding an ASCII comma, whole, in file order, capped
    int leftOut = 0;      // entry lines dropped because the list would exceed MaxListEntries
};
PhoneBookEntries phoneBookEntries(const QStringList& lines);

}  // namespace zelvo::recipients
