#include "files/unix/file_place.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

namespace zelvo::files {

Descriptor::~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
}

QString Place::shown(const QByteArray& suffix) const {
    return QDir::toNativeSeparators(QDir(folderPath).filePath(QFile::decodeName(name + suffix)));
}

QString errorText(int error) {
    switch (error) {
        case ENOSPC:
            return QStringLiteral("磁盘已满");
        case EFBIG:
            return QStringLiteral("文件超过了系统允许的大小");
        case EISDIR:
            return QStringLiteral("它是文件夹");
        case EDQUOT:
            return QStringLiteral("超出了磁盘配额");
        case EROFS:
            return QStringLiteral("磁盘是只读的");
        case EACCES:
        case EPERM:
            return QStringLiteral("没有权限");
        case EIO:
            return QStringLiteral("磁盘读写出错");
        case ENOENT:
            return QStringLiteral("文件或文件夹不存在");
        case ELOOP:
            return QStringLiteral("它是符号链接");
        default:
            return qt_error_string(error);
    }
}

QString lastError() {
    return errorText(errno);
}

// Only the bits are asked: the administrator passes every check, and the question is who else
// can.
bool othersMayWrite(const struct stat& folder, uid_t user) {
    const uid_t owner = folder.st_uid;
    return (folder.st_mode & (S_IWGRP | S_IWOTH)) != 0 || (owner != user && owner != 0);
}

bool mayUse(uid_t owner, const struct stat& folder) {
    const uid_t self = ::geteuid();
    if (owner == self || !othersMayWrite(folder, self)) return true;
    // The administrator in a user's own folder: the user's files there are the user's.
    return self == 0 && owner == folder.st_uid && !othersMayWrite(folder, owner);
}

bool mayWriteInPlace(uid_t owner, const struct stat& folder) {
    const uid_t self = ::geteuid();
    return owner == self || (self == 0 && owner == folder.st_uid && !othersMayWrite(folder, owner));
}

bool handToFolderOwner(int fd, const struct stat& folder) {
    if (::geteuid() != 0 || folder.st_uid == 0 || othersMayWrite(folder, folder.st_uid))
        return true;
    return ::fchown(fd, folder.st_uid, folder.st_gid) == 0;
}

QString plantedRefusal(const Place& place, bool link) {
    const QString what =
        link ? QStringLiteral("%1 是别的用户建立的符号链接") : QStringLiteral("%1 属于别的用户");
    return what.arg(place.shown()) +
           QStringLiteral(
               ", 而它所在的文件夹别人也能写入: 它可能是别人放的, 为了让本程序使用"
               "别人的账号或读写您的其他文件。请删除它, 或把程序放到只有您能写入的"
               "文件夹中");
}

// The rule Linux applies in sticky shared folders (fs.protected_symlinks), here applied in every
// folder, since the program opens its own files by their paths.
std::optional<Place> realPlace(QString path, QString& error, bool* planted) {
    for (int depth = 0; depth < 40; ++depth) {
        const QFileInfo info(path);
        Place place{Descriptor(::open(QFile::encodeName(info.path()).constData(),
                                      O_RDONLY | O_DIRECTORY | O_CLOEXEC)),
                    info.path(), QFile::encodeName(info.fileName())};
        if (!place.folder.valid() || ::fstat(place.folder.get(), &place.folderStatus) != 0) {
            error = QStringLiteral("无法打开文件夹 %1 (%2)")
                        .arg(QDir::toNativeSeparators(info.path()), lastError());
            return std::nullopt;
        }
        // The name itself, not what it points at: the owner and the text of a link are read
        // from the same opened link.
        const Descriptor entry(
            ::openat(place.folder.get(), place.name.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        struct stat status {};
        if (!entry.valid() || ::fstat(entry.get(), &status) != 0 || !S_ISLNK(status.st_mode))
            return place;
        if (!mayUse(status.st_uid, place.folderStatus)) {
            if (planted) *planted = true;
            error = plantedRefusal(place, true);
            return std::nullopt;
        }
        // A buffer of a size known here, which _FORTIFY_SOURCE checks the call against.
        char target[PATH_MAX];
        const ssize_t size = ::readlinkat(entry.get(), "", target, sizeof target);
        if (size < 0 || size_t(size) >= sizeof target) {
            error = QStringLiteral("无法读取符号链接 %1").arg(place.shown());
            return std::nullopt;
        }
        path = QDir(place.folderPath).filePath(QFile::decodeName(QByteArray(target, size)));
    }
    error = QStringLiteral("符号链接层数过多");
    return std::nullopt;
}

}  // namespace zelvo::files
