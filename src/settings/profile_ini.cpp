#include "settings/profile_ini.h"

namespace zelvo::settings {

std::optional<QString> profile_detail::sectionName(QStringView line) {
    line = trimmed(line);
    const qsizetype close = line.lastIndexOf(u']');
    if (close <= 0) return std::nullopt;
    return trimmed(line.sliced(1, close - 1)).toString().toCaseFolded();
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
                             profile_detail::hasSurroundingQuotes(value));
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
