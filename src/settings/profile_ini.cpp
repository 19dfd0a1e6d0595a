#include "settings/profile_ini.h"

namespace zelvo::settings {
namespace {

QStringView trimmed(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isProfileBlank(text[begin])) ++begin;
    while (end > begin && isProfileBlank(text[end - 1])) --end;
    return text.sliced(begin, end - begin);
}

bool hasSurroundingQuotes(QStringView value) {
    return value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
           value.back() == value.front();
}

}  // namespace

bool isProfileBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f';
}

ProfileIni ProfileIni::parse(QStringView text) {
    ProfileIni ini;
    Section* current = nullptr;  // null outside a section and in a repeated one
    qsizetype lineStart = 0;
    while (lineStart <= text.size()) {
        qsizetype lineEnd = text.indexOf(u'\n', lineStart);
        if (lineEnd < 0) lineEnd = text.size();
        const QStringView line = trimmed(text.sliced(lineStart, lineEnd - lineStart));
        lineStart = lineEnd + 1;

        if (line.startsWith(u'[')) {
            const qsizetype close = line.lastIndexOf(u']');
            if (close > 0) {
                const QString name = trimmed(line.sliced(1, close - 1)).toString().toCaseFolded();
                current = ini.sections_.contains(name) ? nullptr : &ini.sections_[name];
                continue;
            }
        }
        if (current == nullptr || line.startsWith(u';')) continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0) continue;
        const QString key = trimmed(line.first(equals)).toString().toCaseFolded();
        if (current->contains(key)) continue;
        QStringView value = trimmed(line.sliced(equals + 1));
        if (hasSurroundingQuotes(value)) value = value.sliced(1, value.size() - 2);
        current->insert(key, value.toString());
    }
    return ini;
}

std::optional<QString> ProfileIni::value(QStringView section, QStringView key) const {
    const auto found = sections_.constFind(section.toString().toCaseFolded());
    if (found == sections_.constEnd()) return std::nullopt;
    const auto entry = found->constFind(key.toString().toCaseFolded());
    if (entry == found->constEnd()) return std::nullopt;
    return *entry;
}

void ProfileIniWriter::beginSection(QStringView name) {
    text_ += u'[';
    text_ += name;
    text_ += u"]\r\n";
}

void ProfileIniWriter::addValue(QStringView key, QStringView value) {
    QString stored = value.toString();
    stored.replace(u'\r', u' ').replace(u'\n', u' ');
    const bool quote =
        !stored.isEmpty() && (isProfileBlank(stored.front()) || isProfileBlank(stored.back()) ||
                              hasSurroundingQuotes(stored));
    text_ += key;
    text_ += u'=';
    if (quote) text_ += u'"';
    text_ += stored;
    if (quote) text_ += u'"';
    text_ += u"\r\n";
}

}  // namespace zelvo::settings
