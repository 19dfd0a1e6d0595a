#pragma once

#include <QSize>
#include <QStringList>
#include <QUrl>
#include <deque>
#include <functional>
#include <utility>
#include <vector>

#include "app/desktop.h"

namespace zelvo::testing {

// A platform double for tests. Every call (box, question, input box, file dialog, opening a
// page or a file, ending the program) must be scripted in order; a call that was not scripted,
// or of another kind than the next scripted one, fails the test. Every call is recorded.
class ScriptedDesktop : public app::Desktop {
public:
    // line is the call as log() shows it; text the message, prompt or file; details the box's.
    struct Call {
        QString line, text, details = {};
    };
    using Hook = std::function<void(const Call&)>;

    // screen is the size the window is centred on, in pixels.
    explicit ScriptedDesktop(QString appFolder, QSize screen = {800, 800})
        : appFolder_(std::move(appFolder)), screen_(screen) {}
    ~ScriptedDesktop() override;

    // onCall runs while the box is open, before the answer is returned.
    void expectBox(app::Answer answer = app::Answer::Ok, Hook onCall = {});
    // Answers in words, one per call: "ok", "cancel", "input <text>", "file <path>", "opens",
    // "fails" (the page or file could not be opened), "end".
    void script(const QStringList& answers);

    const std::vector<Call>& calls() const { return calls_; }
    // Each call in one line: "box <title>: <text>" (a question mark and OK), "box plain <title>:
    // <text>" (OK alone), "ask <title>: <text>" (OK and Cancel), "input <title>: <prompt>
    // [<default>]", "open <filter> in <folder>", "url <address>", "editor <path>", "end".
    QStringList log() const;

    void tell(const QString& text, const QString& title, app::NoticeIcon icon) override {
        next({(icon == app::NoticeIcon::None ? "box plain " : "box ") + title + ": " + text, text});
    }
    void tellWithDetails(const QString& text, const QString& title,
                         const QString& details) override {
        next({"box " + title + ": " + text, text, details});
    }
    app::Answer ask(const QString& text, const QString& title) override {
        return next({"ask " + title + ": " + text, text}) == "ok" ? app::Answer::Ok
                                                                  : app::Answer::Cancel;
    }
    QString askForText(const QString& prompt, const QString& title,
                       const QString& defaultText) override {
        return next({"input " + title + ": " + prompt + " [" + defaultText + "]", prompt})
            .section(u' ', 1);
    }
    QString chooseFile(const QString& filter, const QString& folder) override {
        return next({"open " + filter + " in " + folder, folder}).section(u' ', 1);
    }
    bool openUrl(const QUrl& url) override {
        return next({"url " + url.toString(), url.toString()}) == "opens";
    }
    bool openInTextEditor(const QString& path) override {
        return next({"editor " + path, path}) == "opens";
    }
    void endProgram() override { next({"end", {}}); }
    app::ApplicationFacts applicationFacts() override {
        return {appFolder_, "Zelvo短信发送器", 1, 0, 0};
    }
    QSize screenSize() override { return screen_; }

private:
    // Records the call and returns its scripted answer, after the answer's hook has run.
    QString next(const Call& call);

    QString appFolder_;
    QSize screen_;
    std::deque<std::pair<QString, Hook>> script_;
    std::vector<Call> calls_;
};

}  // namespace zelvo::testing
