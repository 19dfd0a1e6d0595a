#pragma once

#include <QStringView>

#include "recipients/contact_entries.h"

namespace zelvo::recipients {

// Reads the contacts of an address book from its lines, one after the other.
class ContactReader {
public:
    virtual ~ContactReader() = default;
    // One line, without its line end.
    virtual void addLine(QStringView line) = 0;
    // After the last line.
    virtual void finish() = 0;

    ContactEntries& found() { return found_; }

protected:
    ContactEntries found_;
};

}  // namespace zelvo::recipients
