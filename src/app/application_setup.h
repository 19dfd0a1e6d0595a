#pragma once

class QApplication;

namespace zelvo::app {

// What must happen before the QApplication exists (a web view's needs, platform quirks).
void prepareProcess();

// Qt's own translations for the system language, so standard buttons and dialogs speak it.
void installTranslations(QApplication& app);

// Platform part of prepareProcess; one file per platform.
void preparePlatformProcess();

}  // namespace zelvo::app
