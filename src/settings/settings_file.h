#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>
#include <optional>

#include "files/user_file.h"
#include "recipients/entry_list.h"
#include "recipients/number_entry.h"

namespace zelvo::settings {

using SaveStep = files::SaveStep;
using SaveStepHook = files::SaveStepHook;

// What set.ini holds: the mailbox account, the whole number list, whether sends go first
// over implicit TLS because the STARTTLS port did not answer, and whether a long message goes
// in parts (each a section of its own, written only when set, so that other files stay as they
// were and older copies of the program pass over it).
struct SettingsData {
    QString user;
    QString password;
    recipients::EntryList entries;
    bool implicitTls = false;
    bool splitLongMessages = false;

    friend bool operator==(const SettingsData&, const SettingsData&) = default;
};

// The file holds what the number list can: a longer list cannot be saved (encodeSettings()
// writes only the first entries, saveSettingsFile() refuses), and a file whose `total` says
// more (32,767 is a valid index but would be the 32,768th entry) loads only the first ones.
inline constexpr qsizetype kMaxSavedEntries = recipients::MaxListEntries;

// The path of set.ini in the given folder.
QString settingsFileInFolder(const QString& appFolder);

// A set.ini larger than this is not read, and a save that would write a larger one is refused:
// a full list of entries of the longest length an import takes stays below it.
inline constexpr qint64 kMaxSettingsFileBytes = 64 * 1024 * 1024;

// What a load found besides the data.
struct LoadReport {
    // False when a file exists but could not be read whole: it is not a regular file, cannot be
    // read, does not decode, is larger than kMaxSettingsFileBytes, or holds entries without a
    // usable `total`.
    bool whole = true;
    // Why the file was not read at all although it is there, for the user; empty when it was.
    // A file (or a link to one) that another user owns in a folder others can write may have
    // been planted there to feed this program an account or numbers.
    QString refusal;
    bool othersMayRead = false;  // group or other users may read the file (and its password)
};

// Reads set.ini. A missing file, one that cannot be read, or one refused as above gives empty
// fields. The list runs to `total`; without a usable `total` it runs to the highest entry key,
// and is empty when there is none. Bytes that do not decode are loaded as U+FFFD. The list
// stops at kMaxSavedEntries. The file is opened without blocking and checked once open, so a
// FIFO in its place cannot hang the start. Never throws.
SettingsData loadSettingsFile(const QString& path, LoadReport* report = nullptr);

struct SaveResult {
    bool ok = false;
    QString error;  // why the file could not be written, for the user; empty when ok
};

struct SaveOptions {
    // Keep the file that is replaced as "<file>.bak" beside it, replacing an older one; the save
    // is refused when that fails.
    bool keepOldFile = false;
    // How long a save waits for another one of the same file to finish before it is refused.
    std::chrono::milliseconds lockWait{3000};
    SaveStepHook atStep = {};  // for tests
};

// Writes set.ini whole, as files::replaceFile() replaces a file: the previous file stays intact
// unless the new one was written completely, a new file is for its owner alone, and a symbolic
// link is followed only where nobody else could have planted it. Folders missing above it are
// created for the user alone. A line break in a value is stored as a space. One save of a file at
// a time, in this program or another: each holds files::lockBeside() to the rename, and one that
// finds it held waits, then is refused with a message. A file larger than
// kMaxSettingsFileBytes, which the next start would not read, is not written. On failure `error`
// names the path and the reason.
SaveResult saveSettingsFile(const QString& path, const SettingsData& data,
                            const SaveOptions& options = {});

// The file image without any file I/O, for benchmarks and fuzzing; nothing when the system cannot
// write one of its characters.
std::optional<QByteArray> encodeSettings(const SettingsData& data);
// `whole` as in LoadReport.
SettingsData decodeSettings(const QByteArray& bytes, bool* whole = nullptr);

}  // namespace zelvo::settings
