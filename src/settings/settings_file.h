#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zelvo::settings {

// What set.ini holds: the mailbox account and the whole number list.
struct SettingsData {
    QString user;
    QString password;
    QStringList entries;

    friend bool operator==(const SettingsData&, const SettingsData&) = default;
};

// The path of set.ini in the given folder.
QString settingsFilePath(const QString& appFolder);

// Reads set.ini. A missing or unreadable file gives empty fields; a missing or unusable
// `total` gives an empty list while the account still loads. Never throws.
SettingsData loadSettingsFile(const QString& path);

struct SaveResult {
    bool ok = false;
    QString error;  // why the file could not be written, for the user; empty when ok
};

// Writes set.ini whole. The previous file stays intact unless the new one was written
// completely; a new file is readable and writable by its owner only.
SaveResult saveSettingsFile(const QString& path, const SettingsData& data);

// The file image without any file I/O, for benchmarks and fuzzing.
QByteArray encodeSettings(const SettingsData& data);
SettingsData decodeSettings(const QByteArray& bytes);

}  // namespace zelvo::settings
