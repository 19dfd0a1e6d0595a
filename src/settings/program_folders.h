#pragma once

#include <QStringList>

namespace zelvo::settings {

// The system's folders for installed programs, whatever their prefix: Program Files, for 64-
// and 32-bit programs, on Windows; none elsewhere.
QStringList systemProgramFolders();

}  // namespace zelvo::settings
