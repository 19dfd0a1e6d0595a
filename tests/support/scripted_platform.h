#pragma once

#include <QSize>
#include <QString>
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
        QString defaultText;  // input box default, or the dialog's initial folder
    };

    explicit ScriptedPlatform(QString appFolder, QSize screenTwips = {12000, 12000});
    ~ScriptedPlatform() override;

    // onCall runs while the box or dialog would be open, before the answer is returned.
    using Hook = std::function<void(const Call&)>;
    void expectMsgBox(int answer = app::kAnswerOk, Hook onCall = {});
    void expectInputBox(QString answer, Hook onCall = {});
    void expectOpenFileDialog(QString path, Hook onCall = {});
    void expectShell(bool started = true);
    void expectEndProgram();
    // The same in words, one per call: "ok", "cancel", "input <text>", "file <path>",
    // "shell", "noshell", "end".
    void script(const QStringList& answers);

    const std::vector<Call>& calls() const { return calls_; }
    std::vector<Call> callsOf(Kind kind) const;
    // Each call in one line, as "box <style> <title>: <text>", "input <title>: <prompt>
    // [<default>]", "open <filter> in <folder>: <name>", "shell <style>: <command>", "end".
    QStringList log() const;
    // Unanswered scripted calls.
    std::size_t pending() const { return script_.size(); }

    int MsgBox(const QString& text, int style, const QString& title) override;
    QString InputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    QString OpenFileDialog(const QString& fileName, const QString& filter,
                           const QString& initialFolder) override;
    bool Shell(const QString& commandLine, int windowStyle) override;
    void EndProgram() override;
    app::ApplicationFacts AppFacts() override;
    QSize ScreenSizeTwips() override;

    int endProgramCount() const { return endProgramCount_; }

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
    int endProgramCount_ = 0;
};

}  // namespace zelvo::testing
