#include <windows.h>

#include <QDir>
#include <algorithm>
#include <optional>

#include "files/user_file.h"
#include "files/windows/file_place.h"
#include "files/windows/owner_only_access.h"

namespace zelvo::files {
namespace {

QString notWritten(const QString& shown, const QString& why) {
    return QStringLiteral("%1 没有写入: %2").arg(shown, why);
}

QString errorText(DWORD error) {
    if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL)
        return QStringLiteral("磁盘已满");
    if (error == ERROR_ACCESS_DENIED) return QStringLiteral("没有权限");
    return qt_error_string(int(error));
}

// The newer half of the log, from the start of a line: only that part is read.
std::optional<QByteArray> newerHalf(HANDLE file, qint64 size, qint64 limitBytes) {
    const qint64 from = std::max<qint64>(0, size - limitBytes / 2 - 1);
    QByteArray kept(qsizetype(size - from), Qt::Uninitialized);
    LARGE_INTEGER at{};
    at.QuadPart = from;
    DWORD got = 0;
    if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN) ||
        !ReadFile(file, kept.data(), DWORD(kept.size()), &got, nullptr) ||
        got != DWORD(kept.size())) {
        return std::nullopt;
    }
    const qsizetype cut = kept.indexOf('\n');
    kept.remove(0, cut < 0 ? kept.size() : cut + 1);
    return kept;
}

}  // namespace

QString appendToLog(const QString& path, const QByteArray& line, const LogOptions& options) {
    makePrivateFolders(path);
    const LockAttempt locked = lockBeside(path, options.lockWait);
    if (!locked.lock.held()) return locked.error;
    QString error;
    const std::optional<QFileInfo> target = finalTarget(path, error);
    if (!target) return error;
    if (options.atLocked) options.atLocked();
    const QString shown = QDir::toNativeSeparators(target->filePath());
    const std::wstring name = QDir::toNativeSeparators(target->absoluteFilePath()).toStdWString();
    const HANDLE file = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND) {
        const QString reason = replaceFile(path, options.start + line);
        return reason.isEmpty() ? QString() : notWritten(shown, reason);
    }
    if (file == INVALID_HANDLE_VALUE) return notWritten(shown, errorText(GetLastError()));
    const auto result = [&](const QString& why) {
        CloseHandle(file);
        return why.isEmpty() ? QString() : notWritten(shown, why);
    };
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &information) ||
        (information.dwFileAttributes &
         (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        return result(QStringLiteral("它不是普通文件"));
    }
    if (information.nNumberOfLinks != 1)
        return result(QStringLiteral("它还有别的名字 (硬链接), 可能是别人放的"));
    if (!insideUserProfile(name.c_str()) && !handleOwnedByUserOrAdministrators(file))
        return result(QStringLiteral("它属于别的用户, 别人能读到写入的内容"));
    const qint64 size = (qint64(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
    if (size + line.size() > options.limitBytes) {
        const std::optional<QByteArray> kept = newerHalf(file, size, options.limitBytes);
        CloseHandle(file);
        if (!kept) return notWritten(shown, QStringLiteral("无法读取"));
        const QString reason = replaceFile(path, options.start + *kept + line);
        return reason.isEmpty() ? QString() : notWritten(shown, reason);
    }
    LARGE_INTEGER end{};
    end.QuadPart = size;
    DWORD written = 0;
    if (!SetFilePointerEx(file, end, nullptr, FILE_BEGIN) ||
        !WriteFile(file, line.constData(), DWORD(line.size()), &written, nullptr) ||
        written != DWORD(line.size())) {
        const QString why = errorText(GetLastError());
        // Half a line is taken back: a reader never sees one.
        SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
        SetEndOfFile(file);
        return result(why);
    }
    return result({});
}

}  // namespace zelvo::files
