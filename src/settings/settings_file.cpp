#include "settings/settings_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <limits>
#include <optional>

#include "files/user_file.h"
#include "settings/profile_ini.h"
#include "text/text_codec.h"

namespace zelvo::settings {
namespace {

constexpr QStringView kAccountSection = u"UserMsg";
constexpr QStringView kUserKey = u"User";
constexpr QStringView kPasswordKey = u"Password";
constexpr QStringView kListSection = u"Phone";
constexpr QStringView kTotalKey = u"total";
constexpr QStringView kSmtpSection = u"Smtp";
constexpr QStringView kRouteKey = u"Route";
constexpr QStringView kImplicitTls = u"implicit";
constexpr QStringView kMessageSection = u"Message";
constexpr QStringView kSplitKey = u"Split";
constexpr QStringView kOn = u"1";

constexpr int kMaxTotal = std::numeric_limits<qint16>::max();

// `total` as the old program converted it: a 16-bit decimal with an optional sign and blanks
// around it. Anything else leaves the list empty.
std::optional<int> parseTotal(QStringView text) {
    while (!text.isEmpty() && isProfileBlank(text.front())) text = text.sliced(1);
    while (!text.isEmpty() && isProfileBlank(text.back())) text.chop(1);
    const bool negative = text.startsWith(u'-');
    if (negative || text.startsWith(u'+')) text = text.sliced(1);
    if (text.isEmpty()) return std::nullopt;
    int magnitude = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
        magnitude = magnitude * 10 + (c.unicode() - u'0');
        if (magnitude > kMaxTotal + 1) return std::nullopt;
    }
    const int total = negative ? -magnitude : magnitude;
    if (total > kMaxTotal) return std::nullopt;
    return total;
}

// The entry number a key of the list section stands for: only keys spelled exactly as
// QString::number() spells the indexes of a full list are ever looked up.
std::optional<int> entryNumber(QStringView key) {
    if (key.isEmpty() || key.size() > 5 || (key.size() > 1 && key.front() == u'0')) return {};
    int number = 0;
    for (const QChar c : key) {
        if (c < u'0' || c > u'9') return {};
        number = number * 10 + (c.unicode() - u'0');
    }
    if (number >= kMaxSavedEntries) return {};
    return number;
}

// An entry's key without a heap allocation per entry.
QStringView decimalKey(qsizetype number, std::array<char16_t, 20>& buffer) {
    qsizetype at = qsizetype(buffer.size());
    do {
        buffer[std::size_t(--at)] = char16_t(u'0' + number % 10);
        number /= 10;
    } while (number > 0);
    return QStringView(buffer.data() + at, qsizetype(buffer.size()) - at);
}

QString saveError(const QString& path, const QString& reason) {
    return QStringLiteral("无法保存设置文件 %1: %2").arg(QDir::toNativeSeparators(path), reason);
}

SettingsData parseSettings(QString text, bool& whole);

}  // namespace

QString settingsFileInFolder(const QString& appFolder) {
    return QDir(appFolder).filePath(QStringLiteral("set.ini"));
}

SettingsData loadSettingsFile(const QString& path, LoadReport* report) {
    LoadReport ignored;
    LoadReport& outcome = report ? *report : ignored;
    const files::OpenedFile opened = files::openForReading(path);
    outcome = {!opened.exists || !opened.refusal.isEmpty(), opened.refusal, opened.othersMayRead};
    if (!opened.file) return {};
    QFile& file = *opened.file;
    const qint64 size = file.size();
    if (size > kMaxSettingsFileBytes) {
        outcome.whole = false;
        return {};
    }
    // Read in pieces the size of the file, which is normally one: a file that reports no size
    // (or grows) is still read only up to the limit.
    text::TextDecoder decoder;
    QString text;
    QByteArray piece(std::max<qsizetype>(size + 1, 64 * 1024), Qt::Uninitialized);
    qint64 read = 0;
    for (qint64 got; (got = file.read(piece.data(), piece.size())) != 0;) {
        if (got < 0 || (read += got) > kMaxSettingsFileBytes) {
            outcome.whole = false;
            return {};
        }
        QString decoded = decoder.decode(QByteArrayView(piece).first(got));
        if (text.isEmpty()) {
            text = std::move(decoded);
        } else {
            text += decoded;
        }
    }
    text += decoder.finish();
    outcome.whole = !decoder.hasError();
    return parseSettings(std::move(text), outcome.whole);
}

SaveResult saveSettingsFile(const QString& path, const SettingsData& data,
                            const SaveOptions& options) {
    if (data.entries.size() > kMaxSavedEntries) {
        return {false, saveError(path, QStringLiteral("号码列表有 %1 条, 最多只能保存 %2 条")
                                           .arg(data.entries.size())
                                           .arg(kMaxSavedEntries))};
    }
    // Where Windows lacks code page 54936 a character outside GBK cannot be written.
    const std::optional<QByteArray> bytes = encodeSettings(data);
    if (!bytes) return {false, saveError(path, QStringLiteral("系统不支持 GB18030 编码"))};
    // The next start would refuse it, and the user's account and list would come up empty.
    if (bytes->size() > kMaxSettingsFileBytes) {
        return {false, saveError(path, QStringLiteral("文件将有 %1 MB, 超过了能读取的 %2 MB")
                                           .arg(bytes->size() >> 20)
                                           .arg(kMaxSettingsFileBytes >> 20))};
    }
    files::makePrivateFolders(path);
    // The operating system releases the lock of a save that crashed.
    const files::LockAttempt locked = files::lockBeside(path, options.lockWait);
    if (!locked.lock.held()) return {false, saveError(path, locked.error)};
    if (options.atStep) options.atStep(SaveStep::Locked);
    const QString reason = files::replaceFile(path, *bytes, options.keepOldFile, options.atStep);
    if (!reason.isEmpty()) return {false, saveError(path, reason)};
    return {true, {}};
}

std::optional<QByteArray> encodeSettings(const SettingsData& data) {
    ProfileIniWriter ini;
    ini.beginSection(kAccountSection);
    ini.addValue(kUserKey, data.user);
    ini.addValue(kPasswordKey, data.password);
    ini.beginSection(kListSection);
    const qsizetype count = std::min(data.entries.size(), kMaxSavedEntries);
    qsizetype characters = 64 + data.user.size() + data.password.size();
    for (qsizetype i = 0; i < count; ++i) characters += data.entries[i].size() + 10;
    ini.reserve(characters);
    std::array<char16_t, 20> key;
    for (qsizetype i = 0; i < count; ++i) ini.addValue(decimalKey(i, key), data.entries[i]);
    ini.addValue(kTotalKey, QString::number(count - 1));
    if (data.implicitTls) {
        ini.beginSection(kSmtpSection);
        ini.addValue(kRouteKey, kImplicitTls);
    }
    if (data.splitLongMessages) {
        ini.beginSection(kMessageSection);
        ini.addValue(kSplitKey, kOn);
    }
    return text::encodeGb18030(ini.text());
}

SettingsData decodeSettings(const QByteArray& bytes, bool* whole) {
    bool ignored = true;
    bool& complete = whole ? *whole : ignored;
    return parseSettings(text::decodeFileText(bytes, &complete), complete);
}

namespace {

SettingsData parseSettings(QString text, bool& whole) {
    // One pass that keeps only the values asked for: a table of every key costs tens of
    // milliseconds for a full list.
    const QString accountSection = kAccountSection.toString().toCaseFolded();
    const QString listSection = kListSection.toString().toCaseFolded();
    const QString userKey = kUserKey.toString().toCaseFolded();
    const QString passwordKey = kPasswordKey.toString().toCaseFolded();
    const QString totalKey = kTotalKey.toString().toCaseFolded();
    const QString smtpSection = kSmtpSection.toString().toCaseFolded();
    const QString routeKey = kRouteKey.toString().toCaseFolded();
    const QString messageSection = kMessageSection.toString().toCaseFolded();
    const QString splitKey = kSplitKey.toString().toCaseFolded();
    enum class Section { Other, Account, List, Smtp, Message } section = Section::Other;
    std::optional<QString> user, password, total, route, split;
    // Where each entry's value is in the text, by number; the first key of a number wins.
    using Piece = recipients::EntryList::Piece;
    constexpr Piece kMissing{-1, 0};
    QList<Piece> entries;
    // Room for every entry up front: an entry's line takes at least three characters ("0=" and
    // its line feed), which bounds their number without a pass over the text.
    entries.reserve(std::min<qsizetype>(text.size() / 3 + 1, kMaxSavedEntries));
    const auto keep = [](std::optional<QString>& slot, QStringView value) {
        if (!slot) slot = value.toString();
    };
    readProfileText(
        text,
        [&](const QString& name) {
            section = name == accountSection   ? Section::Account
                      : name == listSection    ? Section::List
                      : name == smtpSection    ? Section::Smtp
                      : name == messageSection ? Section::Message
                                               : Section::Other;
            return section != Section::Other;
        },
        [&](QStringView key, QStringView value) {
            if (section == Section::List) {
                if (const std::optional<int> number = entryNumber(key)) {
                    const qsizetype at = *number;
                    const Piece piece{value.data() - text.constData(), value.size()};
                    if (at == entries.size()) {
                        entries.append(piece);
                        return;
                    }
                    if (at > entries.size()) entries.resize(at + 1, kMissing);
                    if (entries[at].from < 0) entries[at] = piece;
                    return;
                }
            }
            const QString folded = key.toString().toCaseFolded();
            if (section == Section::List && folded == totalKey) keep(total, value);
            if (section == Section::Account && folded == userKey) keep(user, value);
            if (section == Section::Account && folded == passwordKey) keep(password, value);
            if (section == Section::Smtp && folded == routeKey) keep(route, value);
            if (section == Section::Message && folded == splitKey) keep(split, value);
        });

    SettingsData data;
    data.user = user.value_or(QString());
    data.password = password.value_or(QString());
    data.implicitTls = route && route->compare(kImplicitTls, Qt::CaseInsensitive) == 0;
    data.splitLongMessages = split && split->trimmed() == kOn;
    const std::optional<int> totalIndex = parseTotal(total.value_or(QString()));
    // Entries without a usable `total` are what a save cut off before its last line leaves, or
    // a slip of a hand edit: they are the user's list all the same. They load up to the highest
    // key, and the file counts as not read whole, so that the next save keeps it as a backup.
    if (!totalIndex && !entries.isEmpty()) whole = false;
    if (!totalIndex && entries.isEmpty()) return data;
    // What the list can hold: a `total` of 32,767 names one entry more. A key missing below
    // `total` still takes its place in the list, as an empty entry.
    const int last =
        std::min<int>(totalIndex.value_or(int(entries.size()) - 1), kMaxSavedEntries - 1);
    entries.resize(std::max(last + 1, 0), kMissing);
    data.entries = recipients::EntryList(std::move(text), std::move(entries));
    return data;
}

}  // namespace

}  // namespace zelvo::settings
