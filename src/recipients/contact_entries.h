#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

#include "recipients/entry_list.h"

namespace zelvo::recipients {

// A phone number as address books write it ("+86 138-0601-2345", "(0086)13806012345") as the
// list keeps it: eleven digits. Blanks, dashes, dots and brackets go, and so does a leading +86
// or 0086. Nothing when it is no mobile number: a landline, a short or a foreign number, letters.
std::optional<QString> mobileNumberOf(QStringView phone);

// A contact's name as the name part of an entry: line breaks and other control characters
// become blanks, and so does the ASCII comma that would end the name early; runs of blanks
// become one.
QString entryNameOf(QStringView name);

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
