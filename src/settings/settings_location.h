#pragma once

#include <QString>

namespace zelvo::settings {

// Where the programs in programFolder keep set.ini. Beside them when a set.ini is already there
// or the folder is writable: the portable layout the file was made for. Otherwise, as for a copy
// installed into a system folder, in the user's configuration folder
// (QStandardPaths::AppConfigLocation), which the caller creates before writing.
QString settingsFileForProgram(const QString& programFolder);

}  // namespace zelvo::settings
