#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace zelvo::app {

// The folders the program's run-time modules are looked for in, in order.
QStringList moduleFolders();

// The module `name` offering the interface `iid`, from the first of folders that has it, or
// nullptr with each folder's reason added to *whyNot. A module stays loaded until the program
// ends.
QObject* loadModule(const QString& name, const char* iid, const QStringList& folders,
                    QString* whyNot);

// The same, as its typed interface.
template <typename Interface>
Interface* loadModule(const char* name, const QStringList& folders, QString* whyNot) {
    return qobject_cast<Interface*>(loadModule(
        QString::fromLatin1(name), qobject_interface_iid<Interface*>(), folders, whyNot));
}

}  // namespace zelvo::app
