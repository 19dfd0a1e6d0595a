#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <algorithm>
#include <cerrno>
#include <optional>

#include "files/unix/file_place.h"
#include "files/user_file.h"

namespace zelvo::files {
namespace {

QString notWritten(const Place& place, const QString& why) {
    return QStringLiteral("%1 没有写入: %2").arg(place.shown(), why);
}

// The newer half of the log, from the start of a line: only that part is read, whatever the
// log's size.
std::optional<QByteArray> newerHalf(int fd, qint64 size, qint64 limitBytes) {
    const qint64 from = std::max<qint64>(0, size - limitBytes / 2 - 1);
    QByteArray kept(qsizetype(size - from), Qt::Uninitialized);
    qsizetype got = 0;
    while (got < kept.size()) {
        const ssize_t read = ::pread(fd, kept.data() + got, size_t(kept.size() - got), from + got);
        if (read < 0 && errno == EINTR) continue;
        if (read <= 0) return std::nullopt;
        got += read;
    }
    const qsizetype cut = kept.indexOf('\n');
    kept.remove(0, cut < 0 ? kept.size() : cut + 1);
    return kept;
}

// Writes the line at the end, or takes back what got there: a reader never sees half a line.
QString appendWhole(int fd, qint64 size, const QByteArray& line) {
    for (qsizetype at = 0; at < line.size();) {
        const ssize_t written = ::write(fd, line.constData() + at, size_t(line.size() - at));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            const QString why = written == 0 ? errorText(ENOSPC) : lastError();
            if (::ftruncate(fd, size) != 0)
                return why + QStringLiteral("; 未写完的一行没能去掉 (%1)").arg(lastError());
            return why;
        }
        at += written;
    }
    return {};
}

}  // namespace

QString appendToLog(const QString& path, const QByteArray& line, const LogOptions& options) {
    makePrivateFolders(path);
    const LockAttempt locked = lockBeside(path, options.lockWait);
    if (!locked.lock.held()) return locked.error;
    QString error;
    const std::optional<Place> place = realPlace(path, error);
    if (!place) return error;
    if (options.atLocked) options.atLocked();

    const Descriptor file(
        ::openat(place->folder.get(), place->name.constData(),
                 O_RDWR | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.valid() && errno == ENOENT) {
        const QString reason = replaceFile(path, options.start + line);
        return reason.isEmpty() ? QString() : notWritten(*place, reason);
    }
    if (!file.valid()) return notWritten(*place, lastError());
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) return notWritten(*place, lastError());
    if (!S_ISREG(status.st_mode)) return notWritten(*place, QStringLiteral("它不是普通文件"));
    // Another name of the same file may lie anywhere: the lines would go there too.
    if (status.st_nlink != 1)
        return notWritten(*place, QStringLiteral("它还有别的名字 (硬链接), 可能是别人放的"));
    if (!mayWriteInPlace(status.st_uid, place->folderStatus))
        return notWritten(*place, QStringLiteral("它属于别的用户, 别人能读到写入的内容"));
    // A log made by hand or copied in may be readable by others; it names who got what.
    if ((status.st_mode & (S_IRWXG | S_IRWXO)) != 0 &&
        ::fchmod(file.get(), status.st_mode & S_IRWXU) != 0) {
        return notWritten(*place, QStringLiteral("无法让别人不能读取它 (%1)").arg(lastError()));
    }
    if (status.st_size + line.size() > options.limitBytes) {
        const std::optional<QByteArray> kept =
            newerHalf(file.get(), status.st_size, options.limitBytes);
        if (!kept) return notWritten(*place, QStringLiteral("无法读取 (%1)").arg(lastError()));
        const QString reason = replaceFile(path, options.start + *kept + line);
        return reason.isEmpty() ? QString() : notWritten(*place, reason);
    }
    const QString reason = appendWhole(file.get(), status.st_size, line);
    return reason.isEmpty() ? QString() : notWritten(*place, reason);
}

}  // namespace zelvo::files
