#include "recipients/vcard_reader.h"

#include <QByteArray>
#include <QStringDecoder>

#include "text/text_codec.h"

namespace zelvo::recipients {

namespace {

// Where the property's name and parameters end: the first colon outside double quotes (4.0
// quotes parameter values that hold a colon).
qsizetype valueStart(QStringView line) {
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'"') quoted = !quoted;
        if (line[i] == u':' && !quoted) return i;
    }
    return -1;
}

// The property's name in capitals, without the group that may come before it ("item1.TEL").
QString nameOf(QStringView head) {
    QStringView name = head;
    if (const qsizetype semicolon = head.indexOf(u';'); semicolon >= 0)
        name = head.first(semicolon);
    if (const qsizetype dot = name.lastIndexOf(u'.'); dot >= 0) name = name.sliced(dot + 1);
    return name.trimmed().toString().toUpper();
}

bool isQuotedPrintable(QStringView head) {
    return head.contains(u"QUOTED-PRINTABLE", Qt::CaseInsensitive);
}

QString charsetOf(QStringView head) {
    for (const QStringView parameter : head.split(u';')) {
        if (parameter.startsWith(u"CHARSET=", Qt::CaseInsensitive))
            return parameter.sliced(8).trimmed().toString().toUpper().remove(u'"');
    }
    return {};
}

// Bytes of a value in the character set its card names. Chinese phones and Outlook name the
// GB family; the program's own GB18030 decoder reads them all, on every system.
QString decodedIn(const QByteArray& bytes, const QString& charset) {
    if (charset.isEmpty()) return decodedField(bytes);
    if (charset == u"UTF-8" || charset == u"UTF8") return QString::fromUtf8(bytes);
    if (charset.startsWith(u"GB") || charset == u"CP936" || charset == u"X-GBK" ||
        charset == u"EUC-CN")
        return text::decodeFileText(bytes);
    QStringDecoder decoder(charset.toLatin1().constData());
    return decoder.isValid() ? QString(decoder.decode(bytes)) : QString::fromUtf8(bytes);
}

// A value split at the semicolons that are not escaped, each part unescaped: "\," and "\;" are
// the characters, "\n" a line break (which a name shows as a blank).
QStringList components(QStringView value) {
    QStringList parts(1);
    for (qsizetype i = 0; i < value.size(); ++i) {
        QChar c = value[i];
        if (c == u';') {
            parts.append(QString());
            continue;
        }
        if (c == u'\\' && i + 1 < value.size()) {
            c = value[++i];
            if (c == u'n' || c == u'N') c = u'\n';
        }
        parts.last() += c;
    }
    return parts;
}

}  // namespace

void VCardReader::addLine(QStringView line) {
    // A quoted-printable value goes on after a line that ends with "=", from the line's first
    // character; any other value after a line that starts with a blank, which is not its own.
    const bool folded = !line.isEmpty() && (line[0] == u' ' || line[0] == u'\t');
    if (softBreak_ || folded) {
        const QStringView rest = softBreak_ ? line : line.sliced(1);
        if (keep_ && property_.size() < MaxContactLineLength) {
            if (softBreak_) property_.chop(1);
            property_ += rest.first(std::min(rest.size(), MaxContactLineLength));
        }
        softBreak_ = softBreak_ && line.endsWith(u'=');
        return;
    }
    endProperty();
    const qsizetype colon = valueStart(line);
    const QStringView head = colon < 0 ? line : line.first(colon);
    const QString name = nameOf(head);
    keep_ = name == u"FN" || name == u"N" || name == u"ORG" || name == u"TEL" || name == u"BEGIN" ||
            name == u"END";
    if (keep_) property_ = line.first(std::min(line.size(), MaxContactLineLength)).toString();
    softBreak_ = isQuotedPrintable(head) && line.endsWith(u'=');
}

void VCardReader::endProperty() {
    const QString line = std::exchange(property_, {});
    if (!std::exchange(keep_, false)) return;
    const qsizetype colon = valueStart(line);
    if (colon < 0) return;
    const QStringView head = QStringView(line).first(colon);
    const QString name = nameOf(head);
    QString value = line.sliced(colon + 1);
    // Bytes are decoded before the value is split at its semicolons: the second byte of a GBK
    // character may be a backslash.
    if (isQuotedPrintable(head)) {
        value = decodedIn(
            QByteArray::fromPercentEncoding(fieldBytes_ ? value.toLatin1() : value.toUtf8(), '='),
            charsetOf(head));
    } else if (fieldBytes_) {
        value = decodedIn(value.toLatin1(), charsetOf(head));
    }

    if (name == u"BEGIN" && value.trimmed().compare(u"VCARD", Qt::CaseInsensitive) == 0) {
        // A card whose END went missing still counts, as it does at the end of the file.
        if (inCard_) endCard();
        formatted_.clear();
        family_.clear();
        given_.clear();
        organization_.clear();
        phones_.clear();
        inCard_ = true;
    } else if (!inCard_) {
        return;
    } else if (name == u"END") {
        endCard();
    } else if (name == u"FN") {
        formatted_ = components(value).join(u';');
    } else if (name == u"N") {
        const QStringList parts = components(value);
        family_ = parts.value(0);
        given_ = parts.value(1);
    } else if (name == u"ORG") {
        // The company, without the departments after it.
        organization_ = components(value).value(0);
    } else if (name == u"TEL") {
        // 4.0 may write the number as a URI: "tel:+86-138-0601-2345;ext=1".
        QStringView number = value;
        if (number.startsWith(u"tel:", Qt::CaseInsensitive)) {
            number = number.sliced(4);
            if (const qsizetype semicolon = number.indexOf(u';'); semicolon >= 0)
                number = number.first(semicolon);
        }
        phones_ << number.toString();
    }
}

void VCardReader::endCard() {
    QString name = formatted_.trimmed().isEmpty() ? joinedName(family_, given_) : formatted_;
    if (name.trimmed().isEmpty()) name = organization_;
    found_.add(name, phones_);
    inCard_ = false;
}

void VCardReader::finish() {
    endProperty();
    if (inCard_) endCard();
}

}  // namespace zelvo::recipients
