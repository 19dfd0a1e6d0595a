#include "recipients/contact_entries.h"

#include <QStringDecoder>
#include <utility>
#include <vector>

#include "recipients/number_entry.h"
#include "text/text_codec.h"

namespace zelvo::recipients {

namespace {

bool isLatinLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Chinese input methods type digits, "+", brackets and dashes in their full-width forms.
QChar halfWidth(QChar c) {
    return c >= u'\uFF01' && c <= u'\uFF5E' ? QChar(c.unicode() - 0xFEE0) : c;
}

bool isBidiControl(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069) || u == 0x200E ||
           u == 0x200F || u == 0x061C;
}

// Windows-1252 where it differs from Latin-1; the five bytes it leaves undefined stay controls.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178,
};

// The most a written mobile number has: four digits of "+0086", eleven of its own, and blanks
// around the country code and between groups of digits ("+86 - 138 - 0601 - 2345").
constexpr int kMostDigits = 15;
constexpr size_t kMostWords = 8;

}  // namespace

std::optional<QString> mobileNumberOf(QStringView phone) {
    QString digits;
    bool plus = false;
    for (QChar c : phone) {
        c = halfWidth(c);
        if (c >= u'0' && c <= u'9') {
            digits += c;
        } else if (c == u'+' && digits.isEmpty() && !plus) {
            plus = true;
        } else if (!c.isSpace() && c != u'-' && c != u'.' && c != u'(' && c != u')') {
            return std::nullopt;
        }
    }
    if (plus) {
        // "+086" and "+0086" as Chinese exports write the country code.
        const qsizetype zeros = digits.startsWith(u"00") ? 2 : digits.startsWith(u'0') ? 1 : 0;
        if (QStringView(digits).sliced(zeros).left(2) != u"86") return std::nullopt;
        digits.remove(0, zeros + 2);
    } else if (digits.startsWith(u"0086")) {
        digits.remove(0, 4);
    } else if (digits.size() == NumberLength + 2 && digits.startsWith(u"86")) {
        digits.remove(0, 2);
    }
    // Mainland mobile numbers: 1, then 3 to 9, then nine digits.
    if (digits.size() != NumberLength || digits[0] != u'1' || digits[1] < u'3') return std::nullopt;
    return digits;
}

QStringList mobileNumbersIn(QStringView phones) {
    QStringList numbers;
    struct Word {
        QStringView text;
        qsizetype digits;
    };
    std::vector<Word> words;
    // The fewest words from each one on that make a number: blanks inside a number and between
    // two numbers look alike. Only words that hold the digits of a number are joined, so that a
    // long run of short words costs little.
    const auto takeNumbers = [&] {
        const size_t count = words.size();
        for (size_t first = 0; first < count; ++first) {
            qsizetype digits = 0;
            for (size_t last = first; last < count && last - first < kMostWords; ++last) {
                digits += words[last].digits;
                if (digits > kMostDigits) break;
                if (digits < NumberLength) continue;
                QString joined;
                for (size_t word = first; word <= last; ++word) joined += words[word].text;
                if (const std::optional<QString> number = mobileNumberOf(joined)) {
                    numbers << *number;
                    first = last;
                    break;
                }
            }
        }
        words.clear();
    };
    qsizetype start = 0, digits = 0;
    for (qsizetype i = 0; i <= phones.size(); ++i) {
        const QChar c = i < phones.size() ? halfWidth(phones[i]) : QChar(u';');
        const bool separator = c == u'、' || c == u';' || c == u',' || c == u'/';
        if (!separator && !c.isSpace()) {
            digits += c >= u'0' && c <= u'9';
            continue;
        }
        if (i > start) words.push_back({phones.sliced(start, i - start), std::exchange(digits, 0)});
        if (separator) takeNumbers();
        start = i + 1;
    }
    return numbers;
}

QString entryNameOf(QStringView name) {
    QString text;
    text.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        if (c.isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            text += c;
            text += name[++i];
        } else if (!c.isSurrogate() && !isBidiControl(c)) {
            text += c == u',' || c.category() == QChar::Other_Control ? QChar(u' ') : c;
        }
    }
    return text.simplified();
}

QString decodedField(QByteArrayView bytes) {
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    bool clean = false;
    text = text::decodeFileText(bytes, &clean);
    if (clean) return text;
    text.resize(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        text[i] = byte >= 0x80 && byte < 0xA0 ? QChar(kWindows1252High[byte - 0x80]) : QChar(byte);
    }
    return text;
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
        for (const QString& number : mobileNumbersIn(phone)) {
            if (seen.contains(number)) continue;
            seen.insert(number);
            if (entries_.size() >= MaxListEntries) {
                ++leftOut_;
            } else {
                entries_.append(QString(shownName + u',' + number));
            }
        }
    }
}

}  // namespace zelvo::recipients
