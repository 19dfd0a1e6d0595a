#include "settings/replace_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <system_error>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace zelvo::settings {
namespace {

// The file a chain of symbolic links ends at, or nothing for a loop.
std::optional<QFileInfo> finalTarget(const QString& path) {
    QFileInfo info(path);
    for (int depth = 0; depth < 40; ++depth) {
        if (!info.isSymbolicLink()) return info;
        info.setFile(info.symLinkTarget());
    }
    return std::nullopt;
}

// Without this a power cut soon after the rename can leave an empty file on some file
// systems, and the old one would already be gone.
bool syncToDisk(QFile& file) {
#ifdef Q_OS_UNIX
    return ::fsync(file.handle()) == 0;
#else
    Q_UNUSED(file);
    return true;
#endif
}

// The owner's bits alone: the file holds the password, so group and others lose theirs at
// every save. The "User" bits say what this process may do, and setPermissions() would turn
// them into owner bits: as root a 0444 file came back 0644.
QFileDevice::Permissions ownerBits(QFileDevice::Permissions permissions) {
    return permissions & (QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

}  // namespace

QString replaceFile(const QString& path, const QByteArray& contents) {
    const std::optional<QFileInfo> target = finalTarget(path);
    if (!target) return QStringLiteral("符号链接层数过多");
    const bool replacing = target->exists();
    if (replacing && target->isDir()) return QStringLiteral("该位置是一个文件夹");
    if (replacing && !target->isFile()) return QStringLiteral("该位置不是普通文件");
    // The rename below would replace even a file that may not be written. Its owner's write bit
    // is asked too: root may write anything, but a file made read-only is meant to stay.
    if (replacing && (!target->isWritable() || !(target->permissions() & QFileDevice::WriteOwner)))
        return QStringLiteral("该文件是只读的");

    const QString targetPath = target->filePath();
    const QString tempPath = targetPath + QStringLiteral(".tmp");
    // A leftover of an interrupted save. Created anew below so that nobody else's file or
    // link with looser permissions receives the password.
    QFile::remove(tempPath);
    QFile temp(tempPath);
    if (!temp.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                   QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        return QStringLiteral("无法创建临时文件 %1 (%2)").arg(native(tempPath), temp.errorString());
    }
    std::optional<QString> writeError;
    if (temp.write(contents) != contents.size() || !temp.flush()) {
        writeError = temp.errorString();
    } else if (!syncToDisk(temp)) {
        writeError = qt_error_string(errno);
    } else if (replacing && !temp.setPermissions(ownerBits(target->permissions()))) {
        writeError = temp.errorString();
    }
    temp.close();
    if (writeError) {
        temp.remove();
        return QStringLiteral("写入临时文件 %1 失败 (%2)").arg(native(tempPath), *writeError);
    }

    std::error_code error;
    std::filesystem::rename(QFileInfo(tempPath).filesystemFilePath(),
                            QFileInfo(targetPath).filesystemFilePath(), error);
    if (error) {
        temp.remove();
        return QStringLiteral("无法用新文件替换原文件 (%1)")
            .arg(QString::fromLocal8Bit(error.message()));
    }
    return {};
}

}  // namespace zelvo::settings
