#include "settings/program_folders.h"

#include <shlobj.h>
#include <windows.h>

#include <QDir>
#include <QString>

namespace zelvo::settings {

QStringList systemProgramFolders() {
    QStringList folders;
    // The 64-bit folder is unknown to a 32-bit program, which is then told of the other two.
    for (const KNOWNFOLDERID& id :
         {FOLDERID_ProgramFiles, FOLDERID_ProgramFilesX86, FOLDERID_ProgramFilesX64}) {
        PWSTR path = nullptr;
        if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path)))
            folders << QDir::fromNativeSeparators(QString::fromWCharArray(path));
        CoTaskMemFree(path);
    }
    folders.removeDuplicates();
    return folders;
}

}  // namespace zelvo::settings
