#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace zelvo::settings {

// The steps of a save that a crash may interrupt, for tests that stop or end one there.
enum class SaveStep {
    Locked,            // no other save can start
    TemporaryWritten,  // the new contents are on disk under a temporary name
    OldFileKept,       // the old file is copied to "<file>.bak"
    Replaced,          // the new file has the file's name
};
using SaveStepHook = std::function<void(SaveStep)>;

// Replaces the file at path with contents so that a reader sees either the old file or the
// whole new one, never a mix and never nothing: the bytes go to a temporary file of a name no
// other save uses ("<file>.<random>.tmp") beside it, are flushed to disk, and the temporary
// file is renamed over the old one. The old file is never deleted first. It takes no lock: the
// caller keeps two saves apart. The settings file holds a password, so a new file is readable
// and writable by its owner only (on Windows, outside the user's profile, through an access
// list for the user alone), and a replaced one keeps its owner's bits and loses those of group
// and others. A file that may not be written, or whose owner may not write it, is left alone.
//
// A symbolic link at path is followed, and its target replaced, only where nobody else could
// have planted it: the link belongs to the user running the program, or its folder can be
// written by nobody but that user (and the administrator). Otherwise the save is refused: the
// link may point at another of the user's files.
//
// With keepOld, the file that is really replaced is first copied to "<file>.bak" beside it,
// with its owner's bits only, replacing an older backup; the save is refused when that fails.
// atStep, when given, is called after each step. Returns why it failed, in Chinese for the
// user, or an empty string on success.
QString replaceFile(const QString& path, const QByteArray& contents, bool keepOld = false,
                    const SaveStepHook& atStep = {});

}  // namespace zelvo::settings
