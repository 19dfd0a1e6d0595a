
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <optional>

#include "files/unix/file_place.h"
#include "files/user_file.h"

namespace zelvo::files {
namespace {

bool writeAll(int fd, const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

// A new file that only this user can touch. A leftover of an interrupted backup is removed
// first; whatever stands there and cannot be removed makes the creation fail rather than be
// written through.
Descriptor createPrivate(const Place& place, const QByteArray& name) {
    ::unlinkat(place.folder.get(), name.constData(), 0);
    return Descriptor(::openat(place.folder.get(), name.constData(),
                               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
}

// A new file for this user alone, named "<file>.<random>.tmp", the name in `name`.
Descriptor createTemporary(const Place& place, QByteArray& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = place.name + '.' + QByteArray::number(QRandomGenerator::system()->generate64(), 36) +
               ".tmp";
        Descriptor file(::openat(place.folder.get(), name.constData(),
                                 O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (file.valid() || errno != EEXIST) return file;
    }
    return Descriptor(-1);
}

// The administrator replacing a user's file in that user's own folder leaves it the user's: the
// user must still be able to read it and save it again. A file someone else planted is not
// handed to him.
bool keepOwner(int fd, uid_t owner, gid_t group, const struct stat& folder) {
    if (::geteuid() != 0 || owner == 0 || !mayWriteInPlace(owner, folder)) return true;
    return ::fchown(fd, owner, group) == 0;
}

// Copies the file being replaced to "<file>.bak" beside it, with its owner's bits only: it
// holds the same password as the file.
QString keepBackup(const Place& place, mode_t ownerBits, const struct stat& replaced) {
    const QByteArray backupName = place.name + ".bak";
    const QString cannot = QStringLiteral("无法将原文件保留为 %1").arg(place.shown(".bak"));
    struct stat old {};
    if (::fstatat(place.folder.get(), backupName.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISDIR(old.st_mode)) {
        return cannot + QStringLiteral(" (该位置是一个文件夹)");
    }
    const Descriptor source(::openat(place.folder.get(), place.name.constData(),
                                     O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!source.valid()) return cannot + QStringLiteral(" (%1)").arg(lastError());
    const Descriptor backup = createPrivate(place, backupName);
    if (!backup.valid()) return cannot + QStringLiteral(" (%1)").arg(lastError());
    QByteArray piece(64 * 1024, Qt::Uninitialized);
    ssize_t got = 0;
    while ((got = ::read(source.get(), piece.data(), size_t(piece.size()))) != 0) {
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 || !writeAll(backup.get(), piece.constData(), got)) break;
    }
    if (got != 0 || ::fchmod(backup.get(), ownerBits) != 0 ||
        !keepOwner(backup.get(), replaced.st_uid, replaced.st_gid, place.folderStatus) ||
        ::fsync(backup.get()) != 0) {
        const QString reason = lastError();
        ::unlinkat(place.folder.get(), backupName.constData(), 0);
        return cannot + QStringLiteral(" (%1)").arg(reason);
    }
    return {};
}

}  // namespace

QString replaceFile(const QString& path, const QByteArray& contents, bool keepOld,
                    const SaveStepHook& atStep) {
    QString error;
    const std::optional<Place> place = realPlace(path, error);
    if (!place) return error;
    const int folder = place->folder.get();

    struct stat old {};
    const bool replacing =
        ::fstatat(folder, place->name.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (replacing && S_ISDIR(old.st_mode)) return QStringLiteral("该位置是一个文件夹");
    if (replacing && !S_ISREG(old.st_mode)) return QStringLiteral("该位置不是普通文件");
    // The rename below would replace even a file that may not be written. Its owner's write bit
    // is asked too: root may write anything, but a file made read-only is meant to stay.
    if (replacing && (::faccessat(folder, place->name.constData(), W_OK, AT_EACCESS) != 0 ||
                      !(old.st_mode & S_IWUSR))) {
        return QStringLiteral("该文件是只读的");
    }
    // The owner's bits alone: the file holds the password, so group and others lose theirs at
    // every save.
    const mode_t mode = replacing ? old.st_mode & S_IRWXU : S_IRUSR | S_IWUSR;

    // A name of its own, so that no other save can remove or write over it.
    QByteArray tempName;
    const Descriptor temp = createTemporary(*place, tempName);
    if (!temp.valid()) {
        return QStringLiteral("无法在 %1 中创建临时文件 (%2)")
            .arg(QDir::toNativeSeparators(place->folderPath), lastError());
    }
    const auto shownTemp = [&] { return place->shown(tempName.mid(place->name.size())); };
    // Without the fsync a power cut soon after the rename can leave an empty file on some file
    // systems, and the old one would already be gone.
    const bool owned = replacing
                           ? keepOwner(temp.get(), old.st_uid, old.st_gid, place->folderStatus)
                           : handToFolderOwner(temp.get(), place->folderStatus);
    if (!writeAll(temp.get(), contents.constData(), contents.size()) ||
        ::fchmod(temp.get(), mode) != 0 || !owned || ::fsync(temp.get()) != 0) {
        const QString reason = lastError();
        ::unlinkat(folder, tempName.constData(), 0);
        return QStringLiteral("写入临时文件 %1 失败 (%2)").arg(shownTemp(), reason);
    }
    if (atStep) atStep(SaveStep::TemporaryWritten);
    if (replacing && keepOld) {
        if (const QString reason = keepBackup(*place, mode, old); !reason.isEmpty()) {
            ::unlinkat(folder, tempName.constData(), 0);
            return reason;
        }
        if (atStep) atStep(SaveStep::OldFileKept);
    }
    if (::renameat(folder, tempName.constData(), folder, place->name.constData()) != 0) {
        const QString reason = lastError();
        ::unlinkat(folder, tempName.constData(), 0);
        return QStringLiteral("无法用新文件替换原文件 (%1)").arg(reason);
    }
    // The new name on disk too, before the save says it is done.
    ::fsync(folder);
    if (atStep) atStep(SaveStep::Replaced);
    return {};
}

}  // namespace zelvo::files
