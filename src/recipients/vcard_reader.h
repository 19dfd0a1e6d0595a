#pragma once

#include <QString>
#include <QStringList>

#include "recipients/contact_reader.h"

namespace zelvo::recipients {

// vCard 2.1 (as Android exports it), 3.0 (iPhone) and 4.0: the formatted name FN, else the
// family and given names of N, else the company of ORG, and every TEL of a card, whatever its
// type. Folded lines are unfolded; quoted-printable values, soft line breaks included, are
// decoded in their CHARSET (as decodedField does when none is given). Other properties are
// skipped, however long.
class VCardReader : public ContactReader {
public:
    using ContactReader::ContactReader;
    void addLine(QStringView line) override;
    void finish() override;

private:
    void endProperty();
    void endCard();

    QString property_;        // the unfolded line of an FN, N, ORG, TEL, BEGIN or END so far
    bool keep_ = false;       // the property being read is one of those
    bool softBreak_ = false;  // the last line of a quoted-printable value ended with "="
    bool inCard_ = false;
    QString formatted_, family_, given_, organization_;
    QStringList phones_;
};

}  // namespace zelvo::recipients
