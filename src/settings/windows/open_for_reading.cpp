#include "settings/open_for_reading.h"

#include <io.h>
#include <windows.h>

#include <QDir>

#include "settings/windows/file_place.h"
#include "settings/windows/owner_only_access.h"

namespace zelvo::settings {

OpenedFile openForReading(const QString& path) {
    OpenedFile opened;
    bool planted = false;
    const std::optional<QFileInfo> target = finalTarget(path, opened.refusal, &planted);
    if (!target) {
        opened.exists = true;
        if (!planted) opened.refusal.clear();
        return opened;
    }
    opened.exists = target->exists();
    if (!opened.exists) return opened;
    const std::wstring name = QDir::toNativeSeparators(target->absoluteFilePath()).toStdWString();
    if (!insideUserProfile(name.c_str()) && !ownedByUserOrAdministrators(name.c_str())) {
        opened.refusal = QStringLiteral(
                             "%1 属于别的用户, 而它不在您的用户文件夹中, 别人也可能放置它: 它"
                             "可能是别人放的, 为了让本程序使用别人的账号或号码。请删除它, 或把"
                             "程序放到只有您能写入的文件夹中")
                             .arg(QDir::toNativeSeparators(target->filePath()));
        return opened;
    }
    opened.file = std::make_unique<QFile>(target->filePath());
    // A disk file only: a device or a pipe is not read.
    if (!opened.file->open(QIODevice::ReadOnly | QIODevice::Unbuffered) ||
        GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(opened.file->handle()))) !=
            FILE_TYPE_DISK) {
        opened.file.reset();
    }
    return opened;
}

}  // namespace zelvo::settings
