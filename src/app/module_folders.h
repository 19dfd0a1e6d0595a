#pragma once

#include <QStringList>

namespace zelvo::app {

// The folders the program's run-time modules (web view, SMTP) are looked for in, in order.
QStringList moduleFolders();

}  // namespace zelvo::app
