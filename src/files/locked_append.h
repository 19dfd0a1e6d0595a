#pragma once

#include <QByteArray>
#include <QString>

#include "files/user_file.h"

namespace zelvo::files {

// appendToLog() once it holds the lock: the part that differs by system.
QString appendLocked(const QString& path, const QByteArray& line, const LogOptions& options);

}  // namespace zelvo::files
