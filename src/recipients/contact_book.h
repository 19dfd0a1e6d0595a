#pragma once

#include <QString>
#include <QStringView>
#include <memory>

#include "recipients/book_format.h"
#include "recipients/contact_reader.h"
#include "recipients/line_splitter.h"

namespace zelvo::recipients {

// The format of a phone book, told by its first line that is not blank: "BEGIN:VCARD" opens a
// vCard file, a CSV header naming a name and a phone column opens an address book's export;
// anything else is a file of entry lines.
BookFormat bookFormatOf(QStringView firstLine);

// The text of a vCard or CSV file given in pieces of any size, split into lines for the reader
// of its format. A line ends at LF, CR LF or a lone CR.
class ContactBook {
public:
    // fieldBytes: see ContactReader.
    explicit ContactBook(BookFormat format, bool fieldBytes = false);

    // False when the text holds a NUL character: no address book has one.
    bool add(QStringView text);
    void finish();

    ContactEntries& found() { return reader_->found(); }

private:
    std::unique_ptr<ContactReader> reader_;
    QString line_;  // the line so far when it goes on in the next piece
    LineSplitter splitter_;
};

}  // namespace zelvo::recipients
