#include <windows.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <optional>
#include <string>

#include "files/user_file.h"
#include "files/windows/file_place.h"
#include "files/windows/owner_only_access.h"

namespace zelvo::files {
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

// Writes bytes to file, just created at name, flushed to disk, and closes it; a file that could
// not be written whole is deleted. Returns why it failed, or an empty text.
QString writeFileAt(const std::wstring& name, HANDLE file, const QByteArray& bytes) {
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

// The backup "<file>.bak", replacing an older one; outside the user's profile only the user may
// open it.
QString writeBackup(const QString& path, const QByteArray& bytes) {
    const std::wstring name = wide(path);
    DeleteFileW(name.c_str());
    return writeFileAt(name, createNewFile(name.c_str(), !insideUserProfile(name.c_str())), bytes);
}

// A new file "<file>.<random>.tmp" that no other save uses, holding bytes; its path in tempPath.
QString writeTemporary(const QString& targetPath, const QByteArray& bytes, QString& tempPath) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = targetPath + QLatin1Char('.') +
                   QString::number(QRandomGenerator::system()->generate64(), 36) +
                   QStringLiteral(".tmp");
        const std::wstring name = wide(tempPath);
        const HANDLE file = createNewFile(name.c_str(), !insideUserProfile(name.c_str()));
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return writeFileAt(name, file, bytes);
    }
    return lastError();
}

}  // namespace

QString replaceFile(const QString& path, const QByteArray& contents, bool keepOld,
                    const SaveStepHook& atStep) {
    QString error;
    const std::optional<QFileInfo> target = finalTarget(path, error);
    if (!target) return error;
    const bool replacing = target->exists();
    if (replacing && target->isDir()) return QStringLiteral("该位置是一个文件夹");
    if (replacing && !target->isFile()) return QStringLiteral("该位置不是普通文件");
    // The rename below would replace even a file that may not be written.
    if (replacing && !target->isWritable()) return QStringLiteral("该文件是只读的");

    const QString targetPath = target->filePath();
    QString tempPath;
    if (const QString reason = writeTemporary(targetPath, contents, tempPath); !reason.isEmpty()) {
        return QStringLiteral("无法写入临时文件 %1 (%2)").arg(native(tempPath), reason);
    }
    if (atStep) atStep(SaveStep::TemporaryWritten);
    if (replacing && keepOld) {
        const QString backup = targetPath + QStringLiteral(".bak");
        QFile old(targetPath);
        const QString reason = QFileInfo(backup).isDir() ? QStringLiteral("该位置是一个文件夹")
                               : !old.open(QIODevice::ReadOnly)
                                   ? old.errorString()
                                   : writeBackup(backup, old.readAll());
        if (!reason.isEmpty()) {
            DeleteFileW(wide(tempPath).c_str());
            return QStringLiteral("无法将原文件保留为 %1 (%2)").arg(native(backup), reason);
        }
        if (atStep) atStep(SaveStep::OldFileKept);
    }
    if (!MoveFileExW(wide(tempPath).c_str(), wide(targetPath).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const QString reason = lastError();
        DeleteFileW(wide(tempPath).c_str());
        return QStringLiteral("无法用新文件替换原文件 (%1)").arg(reason);
    }
    if (atStep) atStep(SaveStep::Replaced);
    return {};
}

}  // namespace zelvo::files
