#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "recipients/contact_reader.h"

namespace zelvo::recipients {

// The columns of an address book's CSV export that make an entry, by their header: Google's
// (Name, Given Name, Family Name, Phone 1 - Value), Outlook's (First Name, Last Name, Mobile
// Phone) and Chinese ones (姓名, 姓, 名, 手机, 电话). -1 where there is none.
struct CsvColumns {
    int name = -1;
    int family = -1;
    int given = -1;
    QList<int> phones;

    // A name and at least one phone column: what makes a header an address book's.
    bool usable() const { return (name >= 0 || family >= 0 || given >= 0) && !phones.isEmpty(); }
};

CsvColumns csvColumnsOf(const QStringList& header);

// The fields of one CSV record: separated by commas; a field in double quotes may hold commas,
// line breaks and doubled quotes.
QStringList csvFields(QStringView record);

// A CSV export whose first record is its header. Each further record is a contact: its name
// column, else its family and given names joined; its phone columns, each possibly several
// numbers separated by " ::: " as Google writes them.
class CsvReader : public ContactReader {
public:
    void addLine(QStringView line) override;
    void finish() override;

private:
    void endRecord();

    bool headerRead_ = false;
    CsvColumns columns_;
    QString record_;  // the record so far while a quoted field goes on over lines
    bool quoted_ = false;
};

}  // namespace zelvo::recipients
