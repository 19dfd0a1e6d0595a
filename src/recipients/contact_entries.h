#pragma once

#include <QByteArrayView>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

#include "recipients/entry_list.h"

namespace zelvo::recipients {

// A phone number as address books write it ("+86 138-0601-2345", "(+0086)13806012345") as the
// list keeps it: eleven digits. Full-width forms count as their ASCII ones; blanks, dashes, dots
// and brackets go, and so does the country code 86 after "+", "+0", "+00" or "00", or before
// eleven digits. Nothing when it is no mobile number: a landline, a short or a foreign number,
// letters.
std::optional<QString> mobileNumberOf(QStringView phone);

// Every mobile number of a cell or TEL value that holds several: split at 、，；;,/ and at the
// runs of blanks between complete numbers ("138 0601 2345 021 6975 1234"). Landlines, foreign
// numbers and words between them are skipped.
QStringList mobileNumbersIn(QStringView phones);

// A contact's name as the name part of an entry: line breaks and other control characters
// become blanks, and so does the ASCII comma that would end the name early; runs of blanks
// become one. Direction controls, which would show the list's text in another order than it
// is, and halves of a character without their other half are dropped.
QString entryNameOf(QStringView name);

// A field of an address book that declares no character set, from its bytes: UTF-8 when it is
// valid there, else GB18030 when it is well formed there, else Windows-1252, which reads any
// byte. Old mail programs export names in their Western code page.
QString decodedField(QByteArrayView bytes);

// A family name and a given name as one: together as Chinese names are written, with a blank
// only between two Latin letters ("Smith John").
QString joinedName(QStringView family, QStringView given);

// The entries that contacts read from an address book make: one "name,number" for each mobile
// number of a contact, a number given twice by one contact once. At most MaxListEntries; those
// past it are only counted.
class ContactEntries {
public:
    void add(QStringView name, const QStringList& phones);

    EntryList& entries() { return entries_; }
    int leftOut() const { return leftOut_; }

private:
    EntryList entries_;
    int leftOut_ = 0;
};

// An address book's field or line longer than this is no contact's: the rest of it is dropped,
// so that a broken file cannot fill memory.
inline constexpr qsizetype MaxContactLineLength = 1 << 16;

}  // namespace zelvo::recipients
