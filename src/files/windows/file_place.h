#pragma once

#include <QFileInfo>
#include <QString>
#include <optional>

namespace zelvo::files {

// The file a chain of symbolic links at path ends at. A link is followed only inside the user's
// profile: elsewhere, in a folder others may write, it may have been planted to make this
// program read or overwrite another of the user's files. Nothing, with the reason in error,
// when a link is refused (then `planted`, when given, is set) or the chain is too long.
std::optional<QFileInfo> finalTarget(const QString& path, QString& error, bool* planted = nullptr);

}  // namespace zelvo::files
