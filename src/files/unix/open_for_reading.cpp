#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFileInfo>
#include <cerrno>
#include <optional>

#include "files/unix/file_place.h"
#include "files/user_file.h"

namespace zelvo::files {

OpenedFile openForReading(const QString& path) {
    OpenedFile opened;
    bool planted = false;
    const std::optional<Place> place = realPlace(path, opened.refusal, &planted);
    if (!place) {
        opened.exists = planted || QFileInfo::exists(path);
        if (!planted && opened.exists) opened.error = opened.refusal;
        if (!planted) opened.refusal.clear();
        return opened;
    }
    // O_NONBLOCK: opening a FIFO for reading would wait for a writer.
    Descriptor file(::openat(place->folder.get(), place->name.constData(),
                             O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
    opened.exists = file.valid() || errno != ENOENT;
    if (!file.valid()) {
        if (opened.exists)
            opened.error = QStringLiteral("无法打开 %1 (%2)").arg(place->shown(), lastError());
        return opened;
    }
    struct stat status {};
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        opened.error = S_ISDIR(status.st_mode)
                           ? QStringLiteral("%1 是文件夹, 不是文件").arg(place->shown())
                           : QStringLiteral("%1 不是普通文件").arg(place->shown());
        return opened;
    }
    if (!mayUse(status.st_uid, place->folderStatus)) {
        opened.refusal = plantedRefusal(*place, false);
        return opened;
    }
    opened.othersMayRead = (status.st_mode & (S_IRGRP | S_IROTH)) != 0;
    opened.file = std::make_unique<QFile>();
    if (!opened.file->open(file.get(), QIODevice::ReadOnly | QIODevice::Unbuffered,
                           QFileDevice::AutoCloseHandle)) {
        opened.file.reset();
        opened.error = QStringLiteral("无法读取 %1").arg(place->shown());
        return opened;
    }
    file.release();
    return opened;
}

bool belongsToUser(const QString& path) {
    QString ignored;
    const std::optional<Place> place = realPlace(path, ignored);
    struct stat status {};
    return place &&
           ::fstatat(place->folder.get(), place->name.constData(), &status, AT_SYMLINK_NOFOLLOW) ==
               0 &&
           mayWriteInPlace(status.st_uid, place->folderStatus);
}

}  // namespace zelvo::files
