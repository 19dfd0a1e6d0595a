#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "app/platform_services.h"

namespace zelvo::bench {

// The window's platform for benchmarks: the file dialog answers with a set path, message
// boxes are answered OK at once and remembered, file calls go to the real file system.
class BenchPlatform : public app::PlatformServices {
public:
    explicit BenchPlatform(QString appFolder) : appFolder_(std::move(appFolder)) {}

    QString openFileAnswer;
    // Runs on each message box, with its text, before the box is answered.
    std::function<void(const QString&)> onMsgBox;
    QStringList messages;

    int MsgBox(const QString& text, int style, const QString& title) override;
    QString InputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    QString OpenFileDialog(const QString& fileName, const QString& filter,
                           const QString& initialFolder) override;
    bool Shell(const QString& commandLine, int windowStyle) override;
    void EndProgram() override {}
    app::ApplicationFacts AppFacts() override;
    QSize ScreenSizeTwips() override { return {12000, 12000}; }

private:
    QString appFolder_;
};

}  // namespace zelvo::bench
