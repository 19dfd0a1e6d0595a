#pragma once

class QApplication;

namespace zelvo::app {

// What must happen before the QApplication exists (a web view's needs, platform quirks).
void prepareProcess();

// Qt's own translations for the system language, so standard buttons and dialogs speak it.
void installTranslations(QApplication& app);

}  // namespace zelvo::app
