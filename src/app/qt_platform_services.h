#pragma once

#include "app/platform_services.h"

namespace zelvo::app {

// The desktop's own dialogs, file system and process calls.
class QtPlatformServices : public PlatformServices {
public:
    Answer messageBox(const QString& text, MessageStyle style, const QString& title) override;
    Answer messageBoxWithDetails(const QString& text, MessageStyle style, const QString& title,
                                 const QString& details) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    QString openFileDialog(const QString& fileName, const QString& filter,
                           const QString& initialFolder) override;
    bool startProgram(const QString& commandLine, WindowShow show) override;
    void endProgram() override;
    ApplicationFacts applicationFacts() override;
    QSize screenSizeTwips() override;
};

// Starts a command line "program argument" the way the desktop does; one file per platform.
bool startCommandLine(const QString& program, const QString& argument, WindowShow show);

// Ends the process at once, without running any further slot.
[[noreturn]] void endProcessNow();

}  // namespace zelvo::app
