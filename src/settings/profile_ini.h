#pragma once

#include <QSet>
#include <QString>
#include <QStringView>
#include <optional>

namespace zelvo::settings {

// True for the characters the profile API drops around names and values.
inline bool isProfileBlank(QChar c) {
    return c <= u' ' && (c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f');
}

namespace profile_detail {

inline QStringView trimmed(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isProfileBlank(text[begin])) ++begin;
    while (end > begin && isProfileBlank(text[end - 1])) --end;
    return text.sliced(begin, end - begin);
}

inline bool hasSurroundingQuotes(QStringView value) {
    return value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
           value.back() == value.front();
}

// The case-folded name a "[name]" line opens, or nothing when the line is no section line.
std::optional<QString> sectionName(QStringView line);

}  // namespace profile_detail

// INI text read the way the Windows profile API (GetPrivateProfileString) reads it, so that
// files written by the old Windows program and by hand load as they always did:
// - "[name]" opens a section; text after the last "]" is ignored;
// - "key=value" lines; a line without "=" and a line starting with ";" are skipped, and so
//   are lines before the first section;
// - section and key names match regardless of letter case; the first section of a name and
//   the first key of a name in it win;
// - blanks (space, tab, CR, VT, FF) around names and values are dropped, then one pair of
//   matching double or single quotes around a value;
// - lines end with LF or CR LF.
// Unlike the profile API, values are never cut at 255 bytes.
//
// One pass that keeps nothing itself, so a reader that wants only some values does not pay for
// a table of every key. `enter(const QString&)` gets the case-folded name of each section at its
// first appearance and says whether its values are wanted; `take(QStringView key, QStringView
// value)` then gets each of its key=value lines, the key trimmed but not folded, the value
// unquoted, both views of `text`. Lines of a repeated section are never passed on; duplicate
// keys are, in file order, and the reader keeps the first. A template, so that `take`, called
// for every line of a list of 32,767 entries, is compiled into the loop.
template <typename Enter, typename Take>
void readProfileText(QStringView text, Enter&& enter, Take&& take) {
    using namespace profile_detail;
    QSet<QString> seen;   // case-folded names of the sections met so far
    bool wanted = false;  // false outside a section and in a repeated or unwanted one
    const char16_t* data = text.utf16();
    const qsizetype size = text.size();
    for (qsizetype lineStart = 0, lineEnd = 0; lineStart <= size; lineStart = lineEnd + 1) {
        // Qt looks for the line's end several characters at a time; the "=" comes after a
        // short key.
        lineEnd = text.indexOf(u'\n', lineStart);
        if (lineEnd < 0) lineEnd = size;
        qsizetype equals = lineStart;
        while (equals < lineEnd && data[equals] != u'=') ++equals;
        qsizetype first = lineStart;
        while (first < lineEnd && isProfileBlank(data[first])) ++first;
        if (first < lineEnd && data[first] == u'[') {
            if (std::optional<QString> name = sectionName(text.sliced(first, lineEnd - first))) {
                wanted = !seen.contains(*name) && enter(*name);
                seen.insert(*std::move(name));
                continue;
            }
        }
        if (!wanted || (first < lineEnd && data[first] == u';')) continue;
        if (equals == lineEnd) continue;
        QStringView value = trimmed(text.sliced(equals + 1, lineEnd - equals - 1));
        if (hasSurroundingQuotes(value)) value = value.sliced(1, value.size() - 2);
        take(trimmed(text.sliced(first, equals - first)), value);
    }
}

// Builds INI text that readProfileText reads back exactly: CR LF line ends, "key=value" with no
// blanks around "=". A value that reading would change (blanks at either end, or a pair of
// quotes around it) is written inside one more pair of double quotes. A line break cannot
// be stored in a value; each CR and LF is written as a space so the file keeps its lines.
// Section and key names are the caller's fixed ASCII names and are written as given.
class ProfileIniWriter {
public:
    void beginSection(QStringView name);
    void addValue(QStringView key, QStringView value);
    void reserve(qsizetype characters) { text_.reserve(characters); }
    const QString& text() const { return text_; }

private:
    QString text_;
};

}  // namespace zelvo::settings
