#include "files/windows/file_place.h"

#include <QDir>

#include "files/windows/owner_only_access.h"

namespace zelvo::files {

std::optional<QFileInfo> finalTarget(const QString& path, QString& error, bool* planted) {
    QFileInfo info(path);
    for (int depth = 0; depth < 40; ++depth) {
        if (!info.isSymbolicLink()) return info;
        const std::wstring name = QDir::toNativeSeparators(info.absoluteFilePath()).toStdWString();
        if (!insideUserProfile(name.c_str())) {
            if (planted) *planted = true;
            error = QStringLiteral(
                        "%1 是一个符号链接, 而它不在您的用户文件夹中, 别人也可能建立它: 它可能"
                        "指向您的其他文件。请删除这个链接, 或把程序放到只有您能写入的文件夹中")
                        .arg(QDir::toNativeSeparators(info.filePath()));
            return std::nullopt;
        }
        info.setFile(info.symLinkTarget());
    }
    error = QStringLiteral("符号链接层数过多");
    return std::nullopt;
}

}  // namespace zelvo::files
