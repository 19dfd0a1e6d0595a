// Every step works on a folder opened once and on names inside it (openat() and friends), so a
// name swapped between a check and a write cannot send the write somewhere else.
#include "settings/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <optional>
#include <utility>

namespace zelvo::settings {
namespace {

// An open file descriptor, closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

private:
    int fd_;
};

// The file that a save really replaces: a name in an opened folder.
struct Place {
    Descriptor folder;
    QString folderPath;
    QByteArray name;

    QString shown(const QByteArray& suffix = {}) const {
        return QDir::toNativeSeparators(
            QDir(folderPath).filePath(QFile::decodeName(name + suffix)));
    }
};

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
std::optional<Place> realPlace(QString path, QString& error) {
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
            error = QStringLiteral(
                        "%1 是别的用户建立的符号链接, 而它所在的文件夹别人也能写入: 它可能是别人"
                        "放的, 为了让本程序改写您的其他文件, 所以没有保存。请删除这个链接, "
                        "或把程序放到只有您能写入的文件夹中, 然后再保存")
                        .arg(place.shown());
            return std::nullopt;
        }
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t size = ::readlinkat(entry.get(), "", target.data(), target.size());
        if (size < 0 || size >= target.size()) {
            error = QStringLiteral("无法读取符号链接 %1").arg(place.shown());
            return std::nullopt;
        }
        target.truncate(size);
        path = QDir(place.folderPath).filePath(QFile::decodeName(target));
    }
    error = QStringLiteral("符号链接层数过多");
    return std::nullopt;
}

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

// A new file that only this user can touch. A leftover of an interrupted save is removed
// first; whatever stands there and cannot be removed makes the creation fail rather than be
// written through.
Descriptor createPrivate(const Place& place, const QByteArray& name) {
    ::unlinkat(place.folder.get(), name.constData(), 0);
    return Descriptor(::openat(place.folder.get(), name.constData(),
                               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
}

// Copies the file being replaced to "<file>.bak" beside it, with its owner's bits only: it
// holds the same password as the file.
QString keepBackup(const Place& place, mode_t ownerBits) {
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
    if (got != 0 || ::fchmod(backup.get(), ownerBits) != 0 || ::fsync(backup.get()) != 0) {
        const QString reason = lastError();
        ::unlinkat(place.folder.get(), backupName.constData(), 0);
        return cannot + QStringLiteral(" (%1)").arg(reason);
    }
    return {};
}

}  // namespace

QString replaceFile(const QString& path, const QByteArray& contents, bool keepOld) {
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

    const QByteArray tempName = place->name + ".tmp";
    const Descriptor temp = createPrivate(*place, tempName);
    if (!temp.valid()) {
        return QStringLiteral("无法创建临时文件 %1 (%2)").arg(place->shown(".tmp"), lastError());
    }
    // Without the fsync a power cut soon after the rename can leave an empty file on some file
    // systems, and the old one would already be gone.
    if (!writeAll(temp.get(), contents.constData(), contents.size()) ||
        ::fchmod(temp.get(), mode) != 0 || ::fsync(temp.get()) != 0) {
        const QString reason = lastError();
        ::unlinkat(folder, tempName.constData(), 0);
        return QStringLiteral("写入临时文件 %1 失败 (%2)").arg(place->shown(".tmp"), reason);
    }
    if (replacing && keepOld) {
        if (const QString reason = keepBackup(*place, mode); !reason.isEmpty()) {
            ::unlinkat(folder, tempName.constData(), 0);
            return reason;
        }
    }
    if (::renameat(folder, tempName.constData(), folder, place->name.constData()) != 0) {
        const QString reason = lastError();
        ::unlinkat(folder, tempName.constData(), 0);
        return QStringLiteral("无法用新文件替换原文件 (%1)").arg(reason);
    }
    return {};
}

}  // namespace zelvo::settings
