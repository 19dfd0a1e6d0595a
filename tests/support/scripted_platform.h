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
    enum class Kind { MsgBox, InputBox, OpenFileDialog, Shell, EndProgram };
    struct Call {
        Kind kind;
        QString text;         // message, prompt, command line, or the dialog's file name
        int style = 0;        // message box style or window style
        QString title;        // title, or the dialog's filter
        QString defaultText;  // input box default, the dialog's initial folder, or box details
    };
    using Hook = std::function<void(const Call&)>;

    explicit ScriptedPlatform(QString appFolder, QSize screenTwips = {12000, 12000})
        : appFolder_(std::move(appFolder)), screenTwips_(screenTwips) {}
    ~ScriptedPlatform() override;

    // onCall runs while the box is open, before the answer is returned.
    void expectMsgBox(int answer = app::kAnswerOk, Hook onCall = {});
    // Answers in words, one per call: "ok", "cancel", "input <text>", "file <path>", "shell",
    // "noshell", "end".
    void script(const QStringList& answers);

    const std::vector<Call>& calls() const { return calls_; }
    std::vector<Call> callsOf(Kind kind) const;
    // Each call in one line: "box <style> <title>: <text>", "input <title>: <prompt>
    // [<default>]", "open <filter> in <folder>: <name>", "shell <style>: <command>", "end".
    QStringList log() const;

    int MsgBox(const QString& text, int style, const QString& title) override {
        return next({Kind::MsgBox, text, style, title, {}}).number;
    }
    int MsgBoxDetails(const QString& text, int style, const QString& title,
                      const QString& details) override {
        return next({Kind::MsgBox, text, style, title, details}).number;
    }
    QString InputBox(const QString& prompt, const QString& title, const QString& def) override {
        return next({Kind::InputBox, prompt, 0, title, def}).text;
    }
    QString OpenFileDialog(const QString& name, const QString& filter,
                           const QString& folder) override {
        return next({Kind::OpenFileDialog, name, 0, filter, folder}).text;
    }
    bool Shell(const QString& command, int style) override {
        return next({Kind::Shell, command, style, {}, {}}).number != 0;
    }
    void EndProgram() override { next({Kind::EndProgram, {}, 0, {}, {}}); }
    app::ApplicationFacts AppFacts() override { return {appFolder_, "Zelvo短信发送器", 1, 0, 0}; }
    QSize ScreenSizeTwips() override { return screenTwips_; }

private:
    struct Answer {
        Kind kind;
        int number = 0;
        QString text;
        Hook hook;
    };
    Answer next(const Call& call);

    QString appFolder_;
    QSize screenTwips_;
    std::deque<Answer> script_;
    std::vector<Call> calls_;
};

}  // namespace zelvo::testing
