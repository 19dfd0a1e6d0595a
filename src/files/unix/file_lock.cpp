#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QThread>
#include <cerrno>
#include <chrono>
#include <optional>

#include "files/unix/file_place.h"
#include "files/user_file.h"

namespace zelvo::files {

// Closing the file releases the lock; the file stays, so that no holder ever locks a name that
// another has just removed.
void FileLock::release(qintptr handle) {
    ::close(int(handle));
}

LockAttempt lockBeside(const QString& path, std::chrono::milliseconds wait) {
    QString error;
    const std::optional<Place> target = realPlace(path, error);
    if (!target) return {{}, error};
    Place lock{Descriptor(::dup(target->folder.get())), target->folderPath, target->name + ".lock",
               target->folderStatus};
    const QString shown = lock.shown();
    // Not following a link and not waiting on a FIFO: whatever stands there is looked at once
    // opened.
    Descriptor file(::openat(lock.folder.get(), lock.name.constData(),
                             O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
                             0600));
    if (!file.valid() && errno == ELOOP) {
        return {{}, QStringLiteral("锁文件 %1 是符号链接, 不是本程序建立的; 请删除它").arg(shown)};
    }
    if (!file.valid())
        return {{}, QStringLiteral("无法建立锁文件 %1 (%2)").arg(shown, lastError())};
    struct stat status {};
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return {{}, QStringLiteral("锁文件 %1 不是普通文件, 请删除它").arg(shown)};
    if (!mayWriteInPlace(status.st_uid, lock.folderStatus)) {
        return {
            {},
            QStringLiteral("锁文件 %1 属于别的用户, 本程序不能使用它; 请让它的主人或管理员删除它")
                .arg(shown)};
    }
    if (status.st_size == 0 && !handToFolderOwner(file.get(), lock.folderStatus))
        return {{}, QStringLiteral("无法把锁文件 %1 交给文件夹的主人").arg(shown)};
    // Asked again and again, with a pause between: flock() itself cannot wait for a limited time.
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) {
            return {{}, QStringLiteral("无法锁定锁文件 %1 (%2)").arg(shown, lastError())};
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return {{},
                    QStringLiteral("另一个窗口或程序正在保存 %1 (它锁定了 %2), 请稍后再试")
                        .arg(target->shown(), shown)};
        }
        QThread::msleep(20);
    }
    return {FileLock(file.release()), {}};
}

}  // namespace zelvo::files
