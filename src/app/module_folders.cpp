#include "app/module_folders.h"

#include <QCoreApplication>
#include <QDir>

namespace zelvo::app {

// The modules stand beside the executable in a portable copy, and in the program's library
// folder, reached from the executable's folder, where they are installed (and built).
QStringList moduleFolders() {
    const QDir programFolder(QCoreApplication::applicationDirPath());
    return {programFolder.path(),
            programFolder.filePath(QStringLiteral(ZELVO_MODULE_RELATIVE_DIR))};
}

}  // namespace zelvo::app
