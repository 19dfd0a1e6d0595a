#pragma once

#include <QSize>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

#include "app/platform_services.h"

namespace zelvo::testing {

// A platform double for tests. Interactive calls (message box, input box, file dialog,
// starting a program, ending the program) must be scripted in order; a call that was not
// scripted, or of another kind than the next scripted one, fails the test. File calls go to
// the real file system, with the application folder given here. Every call is recorded.
class ScriptedPlatform : public app::PlatformServices {
public:
    enum class Kind { MessageBox, InputBox, FileDialog, StartProgram, EndProgram };
    struct Call {
        Kind kind;
        QString text;  // message, prompt, command line, or the dialog's file name
        app::MessageStyle style = app::MessageStyle::OkOnly;  // of a message box
        app::WindowShow show = app::WindowShow::Minimized;    // of a started program
        QString title;                                        // title, or the dialog's filter
        QString defaultText;  // input box default, the dialog's initial folder, or box details
    };
    using Hook = std::function<void(const Call&)>;

    explicit ScriptedPlatform(QString appFolder, QSize screenTwips = {12000, 12000})
        : appFolder_(std::move(appFolder)), screenTwips_(screenTwips) {}
    ~ScriptedPlatform() override;

    // onCall runs while the box is open, before the answer is returned.
    void expectMessageBox(app::Answer answer = app::Answer::Ok, Hook onCall = {});
    // Answers in words, one per call: "ok", "cancel", "input <text>", "file <path>", "start",
    // "nostart", "end".
    void script(const QStringList& answers);

    const std::vector<Call>& calls() const { return calls_; }
    std::vector<Call> callsOf(Kind kind) const;
    // Each call in one line: "box <style> <title>: <text>" with the style "ok" (no icon, OK),
    // "?ok" (question mark, OK) or "?okcancel" (question mark, OK and Cancel), "input <title>:
    // <prompt> [<default>]", "open <filter> in <folder>: <name>", "start <min|max>: <command>",
    // "end".
    QStringList log() const;
    static QString nameOf(app::MessageStyle style) {
        return QStringList{"ok", "?ok", "?okcancel"}[int(style)];
    }

    app::Answer messageBox(const QString& text, app::MessageStyle style,
                           const QString& title) override {
        return next({Kind::MessageBox, text, style, {}, title, {}}).answer;
    }
    app::Answer messageBoxWithDetails(const QString& text, app::MessageStyle style,
                                      const QString& title, const QString& details) override {
        return next({Kind::MessageBox, text, style, {}, title, details}).answer;
    }
    QString inputBox(const QString& prompt, const QString& title, const QString& def) override {
        return next({Kind::InputBox, prompt, {}, {}, title, def}).text;
    }
    QString openFileDialog(const QString& name, const QString& filter,
                           const QString& folder) override {
        return next({Kind::FileDialog, name, {}, {}, filter, folder}).text;
    }
    bool startProgram(const QString& command, app::WindowShow show) override {
        return next({Kind::StartProgram, command, {}, show, {}, {}}).answer == app::Answer::Ok;
    }
    void endProgram() override { next({Kind::EndProgram, {}, {}, {}, {}, {}}); }
    app::ApplicationFacts applicationFacts() override {
        return {appFolder_, "Zelvo短信发送器", 1, 0, 0};
    }
    QSize screenSizeTwips() override { return screenTwips_; }

private:
    struct Scripted {
        Kind kind;
        app::Answer answer = app::Answer::Cancel;  // for a started program: Ok when it started
        QString text;
        Hook hook;
    };
    Scripted next(const Call& call);

    QString appFolder_;
    QSize screenTwips_;
    std::deque<Scripted> script_;
    std::vector<Call> calls_;
};

}  // namespace zelvo::testing
