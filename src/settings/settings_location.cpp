#include "settings/settings_location.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "settings/settings_file.h"

namespace zelvo::settings {

QString settingsFileForProgram(const QString& programFolder) {
    const QString beside = settingsFileInFolder(programFolder);
    const QFileInfo folder(programFolder);
    if (QFileInfo::exists(beside) || (folder.isDir() && folder.isWritable())) return beside;
    return settingsFileInFolder(
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

}  // namespace zelvo::settings
