#include "settings/replace_file.h"

#include <windows.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <optional>
#include <string>

#include "settings/windows/owner_only_access.h"

namespace zelvo::settings {
namespace {

std::wstring wide(const QString& path) {
    return QDir::toNativeSeparators(path).toStdWString();
}

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString lastError() {
    return qt_error_string(int(GetLastError()));
}

// The file a chain of symbolic links ends at. A link is followed only inside the user's
// profile: elsewhere, in a folder others may write, it may have been planted to make this
// program overwrite another of the user's files.
std::optional<QFileInfo> finalTarget(const QString& path, QString& error) {
    QFileInfo info(path);
    for (int depth = 0; depth < 40; ++depth) {
        if (!info.isSymbolicLink()) return info;
        if (!insideUserProfile(wide(info.absoluteFilePath()).c_str())) {
            error = QStringLiteral(
                        "%1 是一个符号链接, 而它不在您的用户文件夹中, 别人也可能建立它: 它可能"
                        "指向您的其他文件, 所以没有保存。请删除这个链接, 或把程序放到只有您能写"
                        "入的文件夹中, 然后再保存")
                        .arg(native(info.filePath()));
            return std::nullopt;
        }
        info.setFile(info.symLinkTarget());
    }
    error = QStringLiteral("符号链接层数过多");
    return std::nullopt;
}

// Writes bytes to a new file at path, flushed to disk; outside the user's profile only the user
// may open it. Returns why it failed, or an empty text.
QString writeNewFile(const QString& path, const QByteArray& bytes) {
    const std::wstring name = wide(path);
    DeleteFileW(name.c_str());
    const HANDLE file = createNewFile(name.c_str(), !insideUserProfile(name.c_str()));
    if (file == INVALID_HANDLE_VALUE) return lastError();
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    bool written = true;
    while (written && left > 0) {
        DWORD done = 0;
        const DWORD size = DWORD(std::min<qsizetype>(left, 1 << 30));
        written = WriteFile(file, data, size, &done, nullptr) && done > 0;
        data += done;
        left -= done;
    }
    // Without the flush a power cut soon after the rename can leave an empty file.
    written = written && FlushFileBuffers(file);
    const QString reason = written ? QString() : lastError();
    CloseHandle(file);
    if (!written) DeleteFileW(name.c_str());
    return reason;
}

}  // namespace

QString replaceFile(const QString& path, const QByteArray& contents, bool keepOld) {
    QString error;
    const std::optional<QFileInfo> target = finalTarget(path, error);
    if (!target) return error;
    const bool replacing = target->exists();
    if (replacing && target->isDir()) return QStringLiteral("该位置是一个文件夹");
    if (replacing && !target->isFile()) return QStringLiteral("该位置不是普通文件");
    // The rename below would replace even a file that may not be written.
    if (replacing && !target->isWritable()) return QStringLiteral("该文件是只读的");

    const QString targetPath = target->filePath();
    const QString tempPath = targetPath + QStringLiteral(".tmp");
    if (const QString reason = writeNewFile(tempPath, contents); !reason.isEmpty()) {
        return QStringLiteral("无法写入临时文件 %1 (%2)").arg(native(tempPath), reason);
    }
    if (replacing && keepOld) {
        const QString backup = targetPath + QStringLiteral(".bak");
        QFile old(targetPath);
        const QString reason = QFileInfo(backup).isDir() ? QStringLiteral("该位置是一个文件夹")
                               : !old.open(QIODevice::ReadOnly)
                                   ? old.errorString()
                                   : writeNewFile(backup, old.readAll());
        if (!reason.isEmpty()) {
            DeleteFileW(wide(tempPath).c_str());
            return QStringLiteral("无法将原文件保留为 %1 (%2)").arg(native(backup), reason);
        }
    }
    if (!MoveFileExW(wide(tempPath).c_str(), wide(targetPath).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const QString reason = lastError();
        DeleteFileW(wide(tempPath).c_str());
        return QStringLiteral("无法用新文件替换原文件 (%1)").arg(reason);
    }
    return {};
}

}  // namespace zelvo::settings
