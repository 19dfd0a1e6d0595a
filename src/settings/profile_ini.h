#pragma once

#include <QString>
#include <QStringView>
#include <functional>

namespace zelvo::settings {

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
// a table of every key. `enter` gets the case-folded name of each section at its first
// appearance and says whether its values are wanted; `take` then gets each of its key=value
// lines, the key trimmed but not folded, the value unquoted. Lines of a repeated section are
// never passed on; duplicate keys are, in file order, and the reader keeps the first.
void readProfileText(QStringView text, const std::function<bool(const QString&)>& enter,
                     const std::function<void(QStringView, QStringView)>& take);

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

// True for the characters the profile API drops around names and values.
bool isProfileBlank(QChar c);

}  // namespace zelvo::settings
