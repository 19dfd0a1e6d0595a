#include "support/scripted_platform.h"

#include <gtest/gtest.h>

namespace zelvo::testing {

using Kind = ScriptedPlatform::Kind;

static const char* kindName(Kind kind) {
    const char* names[] = {"box", "input", "open", "shell", "end"};
    return names[static_cast<int>(kind)];
}

static QString describe(const ScriptedPlatform::Call& c) {
    switch (c.kind) {
        case Kind::MsgBox:
            return QStringLiteral("box %1 %2: %3").arg(c.style).arg(c.title, c.text);
        case Kind::InputBox:
            return QStringLiteral("input %1: %2 [%3]").arg(c.title, c.text, c.defaultText);
        case Kind::OpenFileDialog:
            return QStringLiteral("open %1 in %2: %3").arg(c.title, c.defaultText, c.text);
        case Kind::Shell:
            return QStringLiteral("shell %1: %2").arg(c.style).arg(c.text);
        case Kind::EndProgram:
            return QStringLiteral("end");
    }
    return {};
}

ScriptedPlatform::ScriptedPlatform(QString appFolder, QSize screenTwips)
    : appFolder_(std::move(appFolder)), screenTwips_(screenTwips) {}

ScriptedPlatform::~ScriptedPlatform() {
    for (const Answer& answer : script_) {
        ADD_FAILURE() << "scripted " << kindName(answer.kind) << " was never called";
    }
}

void ScriptedPlatform::expectMsgBox(int answer, Hook onCall) {
    script_.push_back({Kind::MsgBox, answer, {}, std::move(onCall)});
}

void ScriptedPlatform::expectInputBox(QString answer, Hook onCall) {
    script_.push_back({Kind::InputBox, 0, std::move(answer), std::move(onCall)});
}

void ScriptedPlatform::expectOpenFileDialog(QString path, Hook onCall) {
    script_.push_back({Kind::OpenFileDialog, 0, std::move(path), std::move(onCall)});
}

void ScriptedPlatform::expectShell(bool started) {
    script_.push_back({Kind::Shell, started ? 1 : 0, {}, {}});
}

void ScriptedPlatform::expectEndProgram() {
    script_.push_back({Kind::EndProgram, 0, {}, {}});
}

void ScriptedPlatform::script(const QStringList& answers) {
    for (const QString& answer : answers) {
        const QString word = answer.section(u' ', 0, 0);
        const QString rest = answer.section(u' ', 1);
        if (word == u"ok" || word == u"cancel") {
            expectMsgBox(word == u"ok" ? app::kAnswerOk : app::kAnswerCancel);
        } else if (word == u"input") {
            expectInputBox(rest);
        } else if (word == u"file") {
            expectOpenFileDialog(rest);
        } else if (word == u"shell" || word == u"noshell") {
            expectShell(word == u"shell");
        } else if (word == u"end") {
            expectEndProgram();
        } else {
            ADD_FAILURE() << "no such answer: " << answer.toStdString();
        }
    }
}

std::vector<ScriptedPlatform::Call> ScriptedPlatform::callsOf(Kind kind) const {
    std::vector<Call> matching;
    for (const Call& call : calls_) {
        if (call.kind == kind) matching.push_back(call);
    }
    return matching;
}

QStringList ScriptedPlatform::log() const {
    QStringList lines;
    for (const Call& call : calls_) lines << describe(call);
    return lines;
}

ScriptedPlatform::Answer ScriptedPlatform::next(const Call& call) {
    calls_.push_back(call);
    if (script_.empty()) {
        ADD_FAILURE() << "unexpected " << describe(call).toStdString();
        return {call.kind, app::kAnswerCancel, {}, {}};
    }
    Answer answer = std::move(script_.front());
    script_.pop_front();
    if (answer.kind != call.kind) {
        ADD_FAILURE() << "expected " << kindName(answer.kind) << " but got "
                      << describe(call).toStdString();
    }
    if (answer.hook) answer.hook(call);
    return answer;
}

int ScriptedPlatform::MsgBox(const QString& text, int style, const QString& title) {
    return next({Kind::MsgBox, text, style, title, {}}).number;
}

QString ScriptedPlatform::InputBox(const QString& prompt, const QString& title,
                                   const QString& defaultText) {
    return next({Kind::InputBox, prompt, 0, title, defaultText}).text;
}

QString ScriptedPlatform::OpenFileDialog(const QString& fileName, const QString& filter,
                                         const QString& initialFolder) {
    return next({Kind::OpenFileDialog, fileName, 0, filter, initialFolder}).text;
}

bool ScriptedPlatform::Shell(const QString& commandLine, int windowStyle) {
    return next({Kind::Shell, commandLine, windowStyle, {}, {}}).number != 0;
}

void ScriptedPlatform::EndProgram() {
    ++endProgramCount_;
    next({Kind::EndProgram, {}, 0, {}, {}});
}

app::ApplicationFacts ScriptedPlatform::AppFacts() {
    return {appFolder_, QStringLiteral("Zelvo短信发送器"), 1, 0, 0};
}

QSize ScriptedPlatform::ScreenSizeTwips() {
    return screenTwips_;
}

}  // namespace zelvo::testing
