#include "app/module_loader.h"

#include <QCoreApplication>
#include <QDir>
#include <QPluginLoader>

namespace zelvo::app {

// The modules stand beside the executable in a portable copy, and in the program's library
// folder, reached from the executable's folder, where they are installed (and built).
QStringList moduleFolders() {
    const QDir programFolder(QCoreApplication::applicationDirPath());
    return {programFolder.path(),
            programFolder.filePath(QStringLiteral(ZELVO_MODULE_RELATIVE_DIR))};
}

QObject* loadModule(const QString& name, const char* iid, const QStringList& folders,
                    QString* whyNot) {
    for (const QString& folder : folders) {
        QPluginLoader loader(QDir(folder).filePath(name));
        // The metadata is read without loading the library: a stranger's file is never run.
        const QString offered = loader.metaData().value(QStringLiteral("IID")).toString();
        if (offered != QLatin1String(iid)) {
            whyNot->append(QLatin1Char('\n') +
                           (offered.isEmpty()
                                ? loader.errorString()
                                : loader.fileName() + QStringLiteral(": ") + offered));
            continue;
        }
        if (QObject* module = loader.instance()) {
            return module;
        }
        whyNot->append(QLatin1Char('\n') + loader.errorString());
    }
    return nullptr;
}

}  // namespace zelvo::app
