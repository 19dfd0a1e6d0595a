#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <algorithm>

#include "recipients/contact_reader.h"

namespace zelvo::recipients {

// The columns of an address book's CSV export that make an entry, by their header: Google's
// (Name, Given Name, Family Name, Phone 1 - Value), Outlook's (First Name, Last Name, Mobile
// Phone) and Chinese ones (姓名, 联系人, 姓, 名, 称谓, 单位, 手机, 电话). -1 where there is none.
struct CsvColumns {
    int name = -1;
    int family = -1;
    int given = -1;
    int title = -1;    // how the contact is addressed: Chinese Outlook's 称谓 may only say 先生
    int company = -1;  // for a company's own entry
    QList<int> phones;

    // A name and at least one phone column: what makes a header an address book's.
    bool usable() const {
        return std::max({name, family, given, title, company}) >= 0 && !phones.isEmpty();
    }
};

CsvColumns csvColumnsOf(const QStringList& header);

// The fields of one CSV record: separated by commas; a field in double quotes may hold commas,
// line breaks and doubled quotes.
QStringList csvFields(QStringView record);

// A CSV export whose first record is its header. Each further record is a contact: its name
// column, else its family and given names joined, else its title, else its company; its phone
// columns, each possibly several numbers separated by " ::: " as Google writes them.
class CsvReader : public ContactReader {
public:
    using ContactReader::ContactReader;
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
