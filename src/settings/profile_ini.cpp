#include "settings/profile_ini.h"

#include <QSet>
#include <cstring>

namespace zelvo::settings {
namespace {

bool blank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f';
}

QStringView trimmed(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && blank(text[begin])) ++begin;
    while (end > begin && blank(text[end - 1])) --end;
    return text.sliced(begin, end - begin);
}

// The position of the next line feed at or after `from`, or `size`. memchr() looks for its
// byte, which is much quicker than a loop over characters; the byte also turns up in other
// characters (U+4E0A, for one), which the check of the whole character skips.
qsizetype nextLineFeed(const char16_t* data, qsizetype from, qsizetype size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    for (qsizetype at = from * 2; at < size * 2;) {
        const void* hit = std::memchr(bytes + at, '\n', std::size_t(size * 2 - at));
        if (!hit) break;
        const qsizetype offset = static_cast<const char*>(hit) - bytes;
        if (data[offset / 2] == u'\n') return offset / 2;
        at = offset + 1;
    }
    return size;
}

bool hasSurroundingQuotes(QStringView value) {
    return value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
           value.back() == value.front();
}

}  // namespace

bool isProfileBlank(QChar c) {
    return blank(c);
}

void readProfileText(QStringView text, const std::function<bool(const QString&)>& enter,
                     const std::function<void(QStringView, QStringView)>& take) {
    QSet<QString> seen;   // case-folded names of the sections met so far
    bool wanted = false;  // false outside a section and in a repeated or unwanted one
    const char16_t* data = text.utf16();
    const qsizetype size = text.size();
    for (qsizetype lineStart = 0, lineEnd = 0; lineStart <= size; lineStart = lineEnd + 1) {
        lineEnd = nextLineFeed(data, lineStart, size);
        qsizetype first = lineStart;
        while (first < lineEnd && blank(data[first])) ++first;
        if (first < lineEnd && data[first] == u'[') {
            const QStringView line = trimmed(text.sliced(first, lineEnd - first));
            const qsizetype close = line.lastIndexOf(u']');
            if (close > 0) {
                const QString name = trimmed(line.sliced(1, close - 1)).toString().toCaseFolded();
                wanted = !seen.contains(name) && enter(name);
                seen.insert(name);
                continue;
            }
        }
        if (!wanted || (first < lineEnd && data[first] == u';')) continue;
        qsizetype equals = first;
        while (equals < lineEnd && data[equals] != u'=') ++equals;
        if (equals == lineEnd) continue;
        QStringView value = trimmed(text.sliced(equals + 1, lineEnd - equals - 1));
        if (hasSurroundingQuotes(value)) value = value.sliced(1, value.size() - 2);
        take(trimmed(text.sliced(first, equals - first)), value);
    }
}

void ProfileIniWriter::beginSection(QStringView name) {
    text_ += u'[';
    text_ += name;
    text_ += u"]\r\n";
}

void ProfileIniWriter::addValue(QStringView key, QStringView value) {
    // Reading drops blanks at either end of a value, and each CR or LF is written as a space,
    // which is a blank too.
    const auto blankOnceStored = [](QChar c) { return isProfileBlank(c) || c == u'\n'; };
    const bool quote =
        !value.isEmpty() && (blankOnceStored(value.front()) || blankOnceStored(value.back()) ||
                             hasSurroundingQuotes(value));
    text_ += key;
    text_ += u'=';
    if (quote) text_ += u'"';
    const qsizetype from = text_.size();
    text_ += value;
    // One branch-free pass over the copy; cheaper than searching the value first.
    char16_t* stored = reinterpret_cast<char16_t*>(text_.data()) + from;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t c = stored[i];
        stored[i] = (c == u'\r' || c == u'\n') ? u' ' : c;
    }
    if (quote) text_ += u'"';
    text_ += u"\r\n";
}

}  // namespace zelvo::settings
