#include <windows.h>

#include <QDir>
#include <QThread>
#include <chrono>
#include <optional>

#include "files/user_file.h"
#include "files/windows/file_place.h"
#include "files/windows/owner_only_access.h"

namespace zelvo::files {

// Closing the handle releases the lock; the file stays.
void FileLock::release(qintptr handle) {
    CloseHandle(reinterpret_cast<HANDLE>(handle));
}

LockAttempt lockBeside(const QString& path, std::chrono::milliseconds wait) {
    QString error;
    const std::optional<QFileInfo> target = finalTarget(path, error);
    if (!target) return {{}, error};
    const QString lockPath = target->absoluteFilePath() + QStringLiteral(".lock");
    const QString shown = QDir::toNativeSeparators(lockPath);
    const std::wstring name = shown.toStdWString();
    HANDLE file =
        CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND) {
        file = createNewFile(name.c_str(), !insideUserProfile(name.c_str()));
        if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS) {
            file = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        }
    }
    if (file == INVALID_HANDLE_VALUE) {
        return {{},
                QStringLiteral("无法建立锁文件 %1 (%2)")
                    .arg(shown, qt_error_string(int(GetLastError())))};
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &information) ||
        (information.dwFileAttributes &
         (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        CloseHandle(file);
        return {{}, QStringLiteral("锁文件 %1 不是普通文件, 请删除它").arg(shown)};
    }
    if (!insideUserProfile(name.c_str()) && !handleOwnedByUserOrAdministrators(file)) {
        CloseHandle(file);
        return {
            {},
            QStringLiteral("锁文件 %1 属于别的用户, 本程序不能使用它; 请让它的主人或管理员删除它")
                .arg(shown)};
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        OVERLAPPED whole{};
        if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole))
            break;
        if (GetLastError() != ERROR_LOCK_VIOLATION ||
            std::chrono::steady_clock::now() >= deadline) {
            CloseHandle(file);
            return {{},
                    QStringLiteral("另一个窗口或程序正在保存 %1 (它锁定了 %2), 请稍后再试")
                        .arg(QDir::toNativeSeparators(target->filePath()), shown)};
        }
        QThread::msleep(20);
    }
    return {FileLock(reinterpret_cast<qintptr>(file)), {}};
}

}  // namespace zelvo::files
