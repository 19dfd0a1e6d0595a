#pragma once

#include <QString>
#include <QStringList>

namespace zelvo::settings {

// Whether the programs in programFolder are an installed copy: the folder is one of
// installedFolders (the bin folders of the install prefixes the build was made for) or, on
// Windows, lies inside a Program Files folder.
bool isInstalledCopy(const QString& programFolder, const QStringList& installedFolders);

// Where the programs in programFolder keep set.ini. An installed copy keeps it in the user's
// configuration folder (QStandardPaths::AppConfigLocation), whoever runs it, root included, and
// never uses one beside itself. A portable copy (the build tree, an unpacked zip, a copy in a
// user's folder) keeps it beside itself when the folder is writable or the set.ini there is the
// user's own (for the administrator in a user's own folder: that user's); otherwise in the user's
// configuration folder too, so that a copy once run by another user (root) never pins this one
// to that user's file. The caller creates that folder before writing.
QString settingsFileForProgram(const QString& programFolder, const QStringList& installedFolders);

}  // namespace zelvo::settings
