#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <QDir>

#include "files/user_file.h"
#include "files/windows/file_place.h"
#include "files/windows/others_may_read.h"
#include "files/windows/owner_only_access.h"

namespace zelvo::files {

OpenedFile openForReading(const QString& path) {
    OpenedFile opened;
    bool planted = false;
    const std::optional<QFileInfo> target = finalTarget(path, opened.refusal, &planted);
    if (!target) {
        opened.exists = true;
        if (!planted) opened.error = std::exchange(opened.refusal, QString());
        return opened;
    }
    const QString shown = QDir::toNativeSeparators(target->filePath());
    const std::wstring name = QDir::toNativeSeparators(target->absoluteFilePath()).toStdWString();
    // The link itself, never what a link swapped in since points at; the checks are made on the
    // opened handle.
    HANDLE handle = CreateFileW(name.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        opened.exists = error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
        if (opened.exists)
            opened.error =
                QStringLiteral("无法打开 %1 (%2)").arg(shown, qt_error_string(int(error)));
        return opened;
    }
    opened.exists = true;
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileType(handle) != FILE_TYPE_DISK ||
        !GetFileInformationByHandle(handle, &information) ||
        (information.dwFileAttributes &
         (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        CloseHandle(handle);
        opened.error = QStringLiteral("%1 不是普通文件").arg(shown);
        return opened;
    }
    if (!insideUserProfile(name.c_str()) && !handleOwnedByUserOrAdministrators(handle)) {
        CloseHandle(handle);
        opened.refusal = QStringLiteral(
                             "%1 属于别的用户, 而它不在您的用户文件夹中, 别人也可能放置它: 它"
                             "可能是别人放的, 为了让本程序使用别人的账号或号码。请删除它, 或把"
                             "程序放到只有您能写入的文件夹中")
                             .arg(shown);
        return opened;
    }
    opened.othersMayRead = othersMayRead(handle);
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        opened.error = QStringLiteral("无法读取 %1").arg(shown);
        return opened;
    }
    opened.file = std::make_unique<QFile>();
    if (!opened.file->open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered,
                           QFileDevice::AutoCloseHandle)) {
        _close(fd);
        opened.file.reset();
        opened.error = QStringLiteral("无法读取 %1").arg(shown);
    }
    return opened;
}

bool belongsToUser(const QString& path) {
    QString ignored;
    const std::optional<QFileInfo> target = finalTarget(path, ignored);
    if (!target) return false;
    const std::wstring name = QDir::toNativeSeparators(target->absoluteFilePath()).toStdWString();
    return insideUserProfile(name.c_str()) || ownedByUserOrAdministrators(name.c_str());
}

}  // namespace zelvo::files
