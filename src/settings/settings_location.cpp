#include "settings/settings_location.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "files/user_file.h"
#include "settings/program_folders.h"
#include "settings/settings_file.h"

namespace zelvo::settings {
namespace {

// A folder as one spelling, links resolved where it exists.
QString comparable(const QString& folder) {
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

constexpr Qt::CaseSensitivity kFileNameCase =
#ifdef Q_OS_WIN
    Qt::CaseInsensitive;
#else
    Qt::CaseSensitive;
#endif

}  // namespace

bool isInstalledCopy(const QString& programFolder, const QStringList& installedFolders) {
    const QString folder = comparable(programFolder);
    for (const QString& installed : installedFolders) {
        if (!installed.isEmpty() && folder.compare(comparable(installed), kFileNameCase) == 0)
            return true;
    }
    for (const QString& system : systemProgramFolders()) {
        if (folder.startsWith(comparable(system) + QLatin1Char('/'), kFileNameCase)) return true;
    }
    return false;
}

QString settingsFileForProgram(const QString& programFolder, const QStringList& installedFolders) {
    const QString userFile =
        settingsFileInFolder(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    if (isInstalledCopy(programFolder, installedFolders)) return userFile;
    const QString beside = settingsFileInFolder(programFolder);
    // Another user's file beside the program, in a folder this user cannot write (root's, after
    // one run as root), would pin him to a file he can neither read nor replace. One in a folder
    // he can write is his to replace: the load tells him why it is not read.
    const QFileInfo folder(programFolder);
    const bool writable = folder.isDir() && folder.isWritable();
    const QFileInfo besideInfo(beside);
    if (besideInfo.exists() || besideInfo.isSymLink())
        return writable || files::belongsToUser(beside) ? beside : userFile;
    return writable ? beside : userFile;
}

}  // namespace zelvo::settings
