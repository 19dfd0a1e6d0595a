#include "recipients/contact_entries.h"

#include "recipients/number_entry.h"

namespace zelvo::recipients {

namespace {

bool isLatinLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

}  // namespace

std::optional<QString> mobileNumberOf(QStringView phone) {
    QString digits;
    bool plus = false;
    for (const QChar c : phone) {
        if (c >= u'0' && c <= u'9') {
            digits += c;
        } else if (c == u'+' && digits.isEmpty() && !plus) {
            plus = true;
        } else if (!c.isSpace() && c != u'-' && c != u'.' && c != u'(' && c != u')') {
            return std::nullopt;
        }
    }
    if (plus && !digits.startsWith(u"86")) return std::nullopt;
    if (plus) {
        digits.remove(0, 2);
    } else if (digits.startsWith(u"0086")) {
        digits.remove(0, 4);
    }
    // Mainland mobile numbers: 1, then 3 to 9, then nine digits.
    if (digits.size() != NumberLength || digits[0] != u'1' || digits[1] < u'3') return std::nullopt;
    return digits;
}

QString entryNameOf(QStringView name) {
    QString text = name.toString();
    for (QChar& c : text) {
        if (c == u',' || c.category() == QChar::Other_Control) c = u' ';
    }
    return text.simplified();
}

QString joinedName(QStringView family, QStringView given) {
    const QStringView first = family.trimmed(), second = given.trimmed();
    if (first.isEmpty() || second.isEmpty()) return (first.isEmpty() ? second : first).toString();
    const bool latin = isLatinLetter(first.back()) && isLatinLetter(second.front());
    QString name = first.toString();
    if (latin) name += u' ';
    return name += second;
}

void ContactEntries::add(QStringView name, const QStringList& phones) {
    const QString shownName = entryNameOf(name);
    QSet<QString> seen;
    for (const QString& phone : phones) {
        const std::optional<QString> number = mobileNumberOf(phone);
        if (!number || seen.contains(*number)) continue;
        seen.insert(*number);
        if (entries_.size() >= MaxListEntries) {
            ++leftOut_;
        } else {
            entries_.append(QString(shownName + u',' + *number));
        }
    }
}

}  // namespace zelvo::recipients
