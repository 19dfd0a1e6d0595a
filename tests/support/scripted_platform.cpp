#include "support/scripted_platform.h"

#include <gtest/gtest.h>

namespace zelvo::testing {

using Kind = ScriptedPlatform::Kind;

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

ScriptedPlatform::~ScriptedPlatform() {
    for (const Answer& answer : script_) {
        ADD_FAILURE() << "scripted call of kind " << int(answer.kind) << " never came";
    }
}

void ScriptedPlatform::expectMsgBox(int answer, Hook onCall) {
    script_.push_back({Kind::MsgBox, answer, {}, std::move(onCall)});
}

void ScriptedPlatform::script(const QStringList& answers) {
    for (const QString& answer : answers) {
        const QString word = answer.section(u' ', 0, 0), rest = answer.section(u' ', 1);
        const std::map<QString, Answer> kinds = {
            {"ok", {Kind::MsgBox, app::kAnswerOk, {}, {}}},
            {"cancel", {Kind::MsgBox, app::kAnswerCancel, {}, {}}},
            {"input", {Kind::InputBox, 0, rest, {}}},
            {"file", {Kind::OpenFileDialog, 0, rest, {}}},
            {"shell", {Kind::Shell, 1, {}, {}}},
            {"noshell", {Kind::Shell, 0, {}, {}}},
            {"end", {Kind::EndProgram, 0, {}, {}}}};
        ASSERT_TRUE(kinds.contains(word)) << answer.toStdString();
        script_.push_back(kinds.at(word));
    }
}

std::vector<ScriptedPlatform::Call> ScriptedPlatform::callsOf(Kind kind) const {
    std::vector<Call> matching;
    std::copy_if(calls_.begin(), calls_.end(), std::back_inserter(matching),
                 [kind](const Call& call) { return call.kind == kind; });
    return matching;
}

QStringList ScriptedPlatform::log() const {
    QStringList lines;
    for (const Call& call : calls_) lines << describe(call);
    return lines;
}

ScriptedPlatform::Answer ScriptedPlatform::next(const Call& call) {
    calls_.push_back(call);
    if (script_.empty() || script_.front().kind != call.kind) {
        ADD_FAILURE() << "unexpected " << describe(call).toStdString();
        return {call.kind, app::kAnswerCancel, {}, {}};
    }
    Answer answer = std::move(script_.front());
    script_.pop_front();
    if (answer.hook) answer.hook(call);
    return answer;
}

}  // namespace zelvo::testing
