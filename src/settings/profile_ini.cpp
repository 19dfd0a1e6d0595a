#include "settings/profile_ini.h"

#include <QSet>
#include <bit>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace zelvo::settings {
namespace {

bool blank(QChar c) {
    return c <= u' ' && (c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f');
}

inline QStringView trimmed(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && blank(text[begin])) ++begin;
    while (end > begin && blank(text[end - 1])) --end;
    return text.sliced(begin, end - begin);
}

struct LineBounds {
    qsizetype equals;  // the first "=" of the line, or its end when it has none
    qsizetype end;     // the line feed that ends it, or the end of the text
};

// The bounds of the line that starts at `from`. Eight characters at a time where the processor
// allows: the lines of a full number list are short and many, and a call of memchr() for each
// took as long as all the rest of reading them.
LineBounds scanLine(const char16_t* data, qsizetype from, qsizetype size) {
    qsizetype equals = -1;
    qsizetype at = from;
#if defined(__SSE2__) || defined(_M_X64)
    const auto where = [](__m128i chars, char16_t c) {
        return unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(chars, _mm_set1_epi16(short(c)))));
    };
    for (; at + 8 <= size; at += 8) {
        const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
        const unsigned lineFeeds = where(chars, u'\n');
        // Each character gives two bits; those before the line feed count.
        const unsigned before = lineFeeds ? (lineFeeds & (0u - lineFeeds)) - 1 : 0xFFFFu;
        const unsigned signs = where(chars, u'=') & before;
        if (equals < 0 && signs) equals = at + std::countr_zero(signs) / 2;
        if (lineFeeds) {
            const qsizetype end = at + std::countr_zero(lineFeeds) / 2;
            return {equals < 0 ? end : equals, end};
        }
    }
#endif
    for (; at < size && data[at] != u'\n'; ++at) {
        if (equals < 0 && data[at] == u'=') equals = at;
    }
    return {equals < 0 ? at : equals, at};
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
        const LineBounds bounds = scanLine(data, lineStart, size);
        lineEnd = bounds.end;
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
        const qsizetype equals = bounds.equals;
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
