#include "recipients/csv_reader.h"

namespace zelvo::recipients {

namespace {

bool isOneOf(const QString& header, std::initializer_list<QStringView> names) {
    for (const QStringView name : names) {
        if (header.compare(name, Qt::CaseInsensitive) == 0) return true;
    }
    return false;
}

bool isPhoneColumn(const QString& header) {
    for (const QStringView word : {u"phone", u"mobile", u"tel", u"cell", u"手机", u"电话"}) {
        if (header.contains(word, Qt::CaseInsensitive)) return true;
    }
    return false;
}

}  // namespace

CsvColumns csvColumnsOf(const QStringList& header) {
    CsvColumns columns;
    for (int i = 0; i < header.size(); ++i) {
        const QString title = header[i].trimmed();
        const auto first = [i](int& column) {
            if (column < 0) column = i;
        };
        if (isOneOf(title, {u"Name", u"Full Name", u"Display Name", u"Contact", u"Contact Name",
                            u"姓名", u"名字", u"联系人", u"联系人姓名", u"显示名称"})) {
            first(columns.name);
        } else if (isOneOf(title, {u"Family Name", u"Last Name", u"Surname", u"姓", u"姓氏"})) {
            first(columns.family);
        } else if (isOneOf(title, {u"Given Name", u"First Name", u"名"})) {
            first(columns.given);
        } else if (isOneOf(title, {u"称谓", u"中文称谓", u"称呼", u"Nickname", u"昵称"})) {
            first(columns.title);
        } else if (isOneOf(title, {u"Company", u"Organization", u"Organization 1 - Name",
                                   u"Organization Name", u"公司", u"单位"})) {
            first(columns.company);
        } else if (isPhoneColumn(title)) {
            columns.phones << i;
        }
    }
    return columns;
}

QStringList csvFields(QStringView record) {
    QStringList fields(1);
    bool quoted = false;
    for (qsizetype i = 0; i < record.size(); ++i) {
        const QChar c = record[i];
        if (quoted) {
            if (c != u'"') {
                fields.last() += c;
            } else if (i + 1 < record.size() && record[i + 1] == u'"') {
                fields.last() += c;
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            fields.append(QString());
        } else {
            fields.last() += c;
        }
    }
    return fields;
}

void CsvReader::addLine(QStringView line) {
    if (quoted_) {
        // A line break inside quotes belongs to the field; a field of this size is no contact's.
        if (record_.size() > MaxContactLineLength) {
            record_.clear();
            quoted_ = false;
            return;
        }
        record_ += u'\n';
    }
    record_ += line.first(std::min(line.size(), MaxContactLineLength));
    // Doubled quotes inside a field leave the count even.
    quoted_ = line.count(u'"') % 2 != 0 ? !quoted_ : quoted_;
    if (!quoted_) endRecord();
}

void CsvReader::endRecord() {
    QStringList fields = csvFields(std::exchange(record_, {}));
    if (fieldBytes_) {
        for (QString& field : fields) field = textOf(field);
    }
    if (!headerRead_) {
        columns_ = csvColumnsOf(fields);
        headerRead_ = true;
        return;
    }
    QString name = fields.value(columns_.name).trimmed();
    if (name.isEmpty())
        name = joinedName(fields.value(columns_.family), fields.value(columns_.given));
    for (const int fallback : {columns_.title, columns_.company}) {
        if (name.isEmpty()) name = fields.value(fallback).trimmed();
    }
    QStringList phones;
    for (const int column : std::as_const(columns_.phones)) {
        for (const QString& phone : fields.value(column).split(QStringLiteral(":::")))
            phones << phone.trimmed();
    }
    found_.add(name, phones);
}

void CsvReader::finish() {
    if (!record_.isEmpty()) endRecord();
}

}  // namespace zelvo::recipients
