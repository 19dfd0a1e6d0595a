#include "settings/settings_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <optional>

#include "settings/profile_ini.h"
#include "settings/replace_file.h"
#include "settings/text_codec.h"

namespace zelvo::settings {
namespace {

constexpr QStringView kAccountSection = u"UserMsg";
constexpr QStringView kUserKey = u"User";
constexpr QStringView kPasswordKey = u"Password";
constexpr QStringView kListSection = u"Phone";
constexpr QStringView kTotalKey = u"total";

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
        if (magnitude > 32768) return std::nullopt;
    }
    const int total = negative ? -magnitude : magnitude;
    if (total > 32767) return std::nullopt;
    return total;
}

QString saveError(const QString& path, const QString& reason) {
    return QStringLiteral("无法保存设置文件 %1: %2").arg(QDir::toNativeSeparators(path), reason);
}

}  // namespace

QString settingsFilePath(const QString& appFolder) {
    return QDir(appFolder).filePath(QStringLiteral("set.ini"));
}

SettingsData loadSettingsFile(const QString& path) {
    // isFile() also keeps us from blocking on a FIFO or reading a device.
    if (!QFileInfo(path).isFile()) return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return decodeSettings(file.readAll());
}

SaveResult saveSettingsFile(const QString& path, const SettingsData& data) {
    if (data.entries.size() > kMaxSavedEntries) {
        return {false, saveError(path, QStringLiteral("号码列表有 %1 条, 最多只能保存 %2 条")
                                           .arg(data.entries.size())
                                           .arg(kMaxSavedEntries))};
    }
    if (!gb18030Available()) {
        return {false, saveError(path, QStringLiteral("系统不支持 GB18030 编码"))};
    }
    const QString reason = replaceFile(path, encodeSettings(data));
    if (!reason.isEmpty()) return {false, saveError(path, reason)};
    return {true, {}};
}

QByteArray encodeSettings(const SettingsData& data) {
    ProfileIniWriter ini;
    ini.beginSection(kAccountSection);
    ini.addValue(kUserKey, data.user);
    ini.addValue(kPasswordKey, data.password);
    ini.beginSection(kListSection);
    const qsizetype count = std::min(data.entries.size(), kMaxSavedEntries);
    for (qsizetype i = 0; i < count; ++i) ini.addValue(QString::number(i), data.entries[i]);
    ini.addValue(kTotalKey, QString::number(count - 1));
    return encodeGb18030(ini.text());
}

SettingsData decodeSettings(const QByteArray& bytes) {
    const ProfileIni ini = ProfileIni::parse(decodeFileText(bytes));
    SettingsData data;
    data.user = ini.value(kAccountSection, kUserKey).value_or(QString());
    data.password = ini.value(kAccountSection, kPasswordKey).value_or(QString());
    const std::optional<int> total =
        parseTotal(ini.value(kListSection, kTotalKey).value_or(QString()));
    if (!total) return data;
    // A key missing below `total` still takes its place in the list, as an empty entry.
    for (int i = 0; i <= *total; ++i) {
        data.entries.append(ini.value(kListSection, QString::number(i)).value_or(QString()));
    }
    return data;
}

}  // namespace zelvo::settings
