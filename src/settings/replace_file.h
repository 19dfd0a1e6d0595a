#pragma once

#include <QByteArray>
#include <QString>

namespace zelvo::settings {

// Replaces the file at path with contents so that a reader sees either the old file or the
// whole new one, never a mix and never nothing: the bytes go to "<file>.tmp" beside it, are
// flushed to disk, and the temporary file is renamed over the old one. The old file is never
// deleted first. A symbolic link is followed and its target replaced; the link stays. The
// settings file holds a password, so a new file is readable and writable by its owner only, and
// a replaced one keeps its owner's bits and loses those of group and others. A file that may
// not be written, or whose owner may not write it, is left alone.
// Returns why it failed, in Chinese for the user, or an empty string on success.
QString replaceFile(const QString& path, const QByteArray& contents);

}  // namespace zelvo::settings
