#pragma once

#include <QSize>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

#include "app/platform_services.h"

namespace zelvo::testing {

// A platform double for tests. Every call (box, question, input box, file dialog, opening a
// page or a file, ending the program) must be scripted in order; a call that was not scripted,
// or of another kind than the next scripted one, fails the test. Every call is recorded.
class ScriptedPlatform : public app::PlatformServices {
public:
    enum class Kind { Box, InputBox, FileDialog, Open, EndProgram };
    struct Call {
        Kind kind = Kind::Box;
        QString text = {};      // message, prompt, web address or file to open
        QString title = {};     // the box's title, or the dialog's filter
        QString extra = {};     // the box's details, the input box's default, the dialog's folder
        bool question = false;  // a box with OK and Cancel
        app::NoticeIcon icon = app::NoticeIcon::Question;
        bool editor = false;  // a file to open in the text editor, not a web address
    };
    using Hook = std::function<void(const Call&)>;

    // screen is the size the window is centred on, in pixels.
    explicit ScriptedPlatform(QString appFolder, QSize screen = {800, 800})
        : appFolder_(std::move(appFolder)), screen_(screen) {}
    ~ScriptedPlatform() override;

    // onCall runs while the box is open, before the answer is returned.
    void expectBox(app::Answer answer = app::Answer::Ok, Hook onCall = {});
    // Answers in words, one per call: "ok", "cancel", "input <text>", "file <path>", "opens",
    // "fails" (the page or file could not be opened), "end".
    void script(const QStringList& answers);

    const std::vector<Call>& calls() const { return calls_; }
    std::vector<Call> callsOf(Kind kind) const;
    // Each call in one line: "box <title>: <text>" (a question mark and OK), "box plain <title>:
    // <text>" (OK alone), "ask <title>: <text>" (OK and Cancel), "input <title>: <prompt>
    // [<default>]", "open <filter> in <folder>", "url <address>", "editor <path>", "end".
    QStringList log() const;

    void tell(const QString& text, const QString& title, app::NoticeIcon icon) override {
        next({.kind = Kind::Box, .text = text, .title = title, .icon = icon});
    }
    void tellWithDetails(const QString& text, const QString& title,
                         const QString& details) override {
        next({.kind = Kind::Box, .text = text, .title = title, .extra = details});
    }
    app::Answer ask(const QString& text, const QString& title) override {
        return next({.kind = Kind::Box, .text = text, .title = title, .question = true}).answer;
    }
    QString askForText(const QString& prompt, const QString& title,
                       const QString& defaultText) override {
        return next({.kind = Kind::InputBox, .text = prompt, .title = title, .extra = defaultText})
            .text;
    }
    QString chooseFile(const QString& filter, const QString& folder) override {
        return next({.kind = Kind::FileDialog, .title = filter, .extra = folder}).text;
    }
    bool openUrl(const QUrl& url) override;
    bool openInTextEditor(const QString& path) override {
        return next({.kind = Kind::Open, .text = path, .editor = true}).answer == app::Answer::Ok;
    }
    void endProgram() override { next({.kind = Kind::EndProgram}); }
    app::ApplicationFacts applicationFacts() override {
        return {appFolder_, "Zelvo短信发送器", 1, 0, 0};
    }
    QSize screenSize() override { return screen_; }

private:
    struct Scripted {
        Kind kind;
        app::Answer answer = app::Answer::Cancel;  // for an opened page or file: Ok when it opened
        QString text;
        Hook hook;
    };
    Scripted next(const Call& call);

    QString appFolder_;
    QSize screen_;
    std::deque<Scripted> script_;
    std::vector<Call> calls_;
};

}  // namespace zelvo::testing
