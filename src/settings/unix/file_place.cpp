#include "settings/unix/file_place.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

namespace zelvo::settings {

Descriptor::~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
}

QString Place::shown(const QByteArray& suffix) const {
    return QDir::toNativeSeparators(QDir(folderPath).filePath(QFile::decodeName(name + suffix)));
}

QString lastError() {
    return qt_error_string(errno);
}

// Whether someone besides this user and the administrator may add, remove or swap names in the
// folder. Only the bits are asked: root passes every check, and the question is who else can.
bool othersMayWrite(const struct stat& folder) {
    const uid_t owner = folder.st_uid;
    return (folder.st_mode & (S_IWGRP | S_IWOTH)) != 0 || (owner != ::geteuid() && owner != 0);
}

// Follows the links at path to the file they end at, refusing a link that someone else may
// have planted: the rule Linux applies in sticky shared folders (fs.protected_symlinks), here
// applied in every folder, since the program opens its own file by its own path.
std::optional<Place> realPlace(QString path, QString& error, bool* planted) {
    for (int depth = 0; depth < 40; ++depth) {
        const QFileInfo info(path);
        Place place{Descriptor(::open(QFile::encodeName(info.path()).constData(),
                                      O_RDONLY | O_DIRECTORY | O_CLOEXEC)),
                    info.path(), QFile::encodeName(info.fileName())};
        if (!place.folder.valid()) {
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

        struct stat folder {};
        if (::fstat(place.folder.get(), &folder) != 0) {
            error = lastError();
            return std::nullopt;
        }
        if (status.st_uid != ::geteuid() && othersMayWrite(folder)) {
            if (planted) *planted = true;
            error = QStringLiteral(
                        "%1 是别的用户建立的符号链接, 而它所在的文件夹别人也能写入: 它可能是别人"
                        "放的, 为了让本程序读写您的其他文件。请删除这个链接, "
                        "或把程序放到只有您能写入的文件夹中")
                        .arg(place.shown());
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

}  // namespace zelvo::settings
