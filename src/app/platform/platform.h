#pragma once

#include <QString>

class QUrl;

// What the window does differently on each system: one file per system under unix/ and windows/,
// each defining every function declared here.
namespace zelvo::app::platform {

// Opens a web address in the desktop's browser without waiting; false when it could not.
bool openUrl(const QUrl& url);
// Opens a file in the desktop's text editor without waiting; false when it could not.
bool openInTextEditor(const QString& path);
// Ends the process at once.
[[noreturn]] void endProcess();
// What must happen before the QApplication exists on this system.
void prepareProcess();
// The installed family that a Chinese desktop shows for family.
QString chineseFamilyFor(const QString& family);

}  // namespace zelvo::app::platform
