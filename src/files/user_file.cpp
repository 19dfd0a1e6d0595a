#include "files/user_file.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <utility>

#include "files/locked_append.h"

namespace zelvo::files {

FileLock::FileLock(FileLock&& other) noexcept : handle_(std::exchange(other.handle_, kNone)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
}

FileLock::~FileLock() {
    if (handle_ != kNone) release(handle_);
}

QString appendToLog(const QString& path, const QByteArray& line, const LogOptions& options) {
    makePrivateFolders(path);
    const LockAttempt locked = lockBeside(path, options.lockWait);
    if (!locked.lock.held()) return locked.error;
    return appendLocked(path, line, options);
}

std::optional<QByteArray> readAtMost(QIODevice& file, qint64 maxBytes, bool* tooLarge) {
    if (tooLarge) *tooLarge = false;
    // Pieces the size the file reports, which is normally one read: a stream, which reports what
    // is there so far, and a file that grows are still read only up to the bound.
    const qint64 size = file.size();
    if (size > maxBytes) {
        if (tooLarge) *tooLarge = true;
        return std::nullopt;
    }
    QByteArray bytes;
    QByteArray piece(qsizetype(std::clamp<qint64>(size + 1, 4096, 64 * 1024 * 1024)),
                     Qt::Uninitialized);
    for (qint64 got; (got = file.read(piece.data(), piece.size())) != 0;) {
        if (got < 0) return std::nullopt;
        if (bytes.size() + got > maxBytes) {
            if (tooLarge) *tooLarge = true;
            return std::nullopt;
        }
        bytes.append(piece.constData(), qsizetype(got));
    }
    return bytes;
}

void makePrivateFolders(const QString& path) {
    QStringList missing;
    for (QFileInfo folder(QFileInfo(path).absolutePath()); !folder.exists() && !folder.isRoot();
         folder.setFile(folder.absolutePath())) {
        missing.prepend(folder.absoluteFilePath());
    }
    for (const QString& folder : missing)
        QDir().mkdir(folder,
                     QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

}  // namespace zelvo::files
