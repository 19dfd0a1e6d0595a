#pragma once

#include "app/platform_services.h"

namespace zelvo::app {

// The desktop's own dialogs, file system and process calls.
class QtPlatformServices : public PlatformServices {
public:
    int MsgBox(const QString& text, int style, const QString& title) override;
    int MsgBoxDetails(const QString& text, int style, const QString& title,
                      const QString& details) override;
    QString InputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    QString OpenFileDialog(const QString& fileName, const QString& filter,
                           const QString& initialFolder) override;
    bool Shell(const QString& commandLine, int windowStyle) override;
    void EndProgram() override;
    ApplicationFacts AppFacts() override;
    QSize ScreenSizeTwips() override;
};

// Starts a command line "program argument" the way the desktop does; one file per platform.
bool startCommandLine(const QString& program, const QString& argument, int windowStyle);

// Ends the process at once, without running any further handler.
[[noreturn]] void endProcessNow();

}  // namespace zelvo::app
