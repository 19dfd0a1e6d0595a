#include "settings/open_for_reading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFileInfo>
#include <cerrno>
#include <optional>

#include "settings/unix/file_place.h"

namespace zelvo::settings {

OpenedFile openForReading(const QString& path) {
    OpenedFile opened;
    bool planted = false;
    const std::optional<Place> place = realPlace(path, opened.refusal, &planted);
    if (!place) {
        opened.exists = planted || QFileInfo::exists(path);
        if (!planted) opened.refusal.clear();
        return opened;
    }
    // O_NONBLOCK: opening a FIFO for reading would wait for a writer.
    Descriptor file(::openat(place->folder.get(), place->name.constData(),
                             O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
    opened.exists = file.valid() || errno != ENOENT;
    struct stat status {};
    struct stat folder {};
    if (!file.valid() || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
        ::fstat(place->folder.get(), &folder) != 0) {
        return opened;
    }
    if (status.st_uid != ::geteuid() && othersMayWrite(folder)) {
        opened.refusal = QStringLiteral(
                             "%1 属于别的用户, 而它所在的文件夹别人也能写入: 它可能是别人放的, "
                             "为了让本程序使用别人的账号或号码。请删除它, 或把程序放到只有您能"
                             "写入的文件夹中")
                             .arg(place->shown());
        return opened;
    }
    opened.file = std::make_unique<QFile>();
    if (!opened.file->open(file.get(), QIODevice::ReadOnly | QIODevice::Unbuffered,
                           QFileDevice::AutoCloseHandle)) {
        opened.file.reset();
        return opened;
    }
    file.release();
    return opened;
}

}  // namespace zelvo::settings
