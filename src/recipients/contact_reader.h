#pragma once

#include <QStringView>

#include "recipients/contact_entries.h"

namespace zelvo::recipients {

// Reads the contacts of an address book from its lines, one after the other.
class ContactReader {
public:
    // fieldBytes: each character of a line is one byte of a file that declares no character
    // set and is neither UTF-8 nor GB18030 throughout; the reader decodes each field on its own.
    explicit ContactReader(bool fieldBytes = false) : fieldBytes_(fieldBytes) {}
    virtual ~ContactReader() = default;
    // One line, without its line end.
    virtual void addLine(QStringView line) = 0;
    // After the last line.
    virtual void finish() = 0;

    ContactEntries& found() { return found_; }

protected:
    // A field's text, decoded on its own when the lines are bytes.
    QString textOf(QStringView field) const {
        return fieldBytes_ ? decodedField(field.toLatin1()) : field.toString();
    }

    ContactEntries found_;
    bool fieldBytes_;
};

}  // namespace zelvo::recipients
