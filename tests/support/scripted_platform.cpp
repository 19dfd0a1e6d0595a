#include "support/scripted_platform.h"

#include <gtest/gtest.h>

#include <QUrl>

namespace zelvo::testing {

using Kind = ScriptedPlatform::Kind;

static QString describe(const ScriptedPlatform::Call& c) {
    switch (c.kind) {
        case Kind::Box:
            return QStringLiteral("%1 %2: %3")
                .arg(c.question                        ? "ask"
                     : c.icon == app::NoticeIcon::None ? "box plain"
                                                       : "box",
                     c.title, c.text);
        case Kind::InputBox:
            return QStringLiteral("input %1: %2 [%3]").arg(c.title, c.text, c.extra);
        case Kind::FileDialog:
            return QStringLiteral("open %1 in %2").arg(c.title, c.extra);
        case Kind::Open:
            return (c.editor ? QStringLiteral("editor ") : QStringLiteral("url ")) + c.text;
        case Kind::EndProgram:
            return QStringLiteral("end");
    }
    return {};
}

ScriptedPlatform::~ScriptedPlatform() {
    for (const Scripted& answer : script_) {
        ADD_FAILURE() << "scripted call of kind " << int(answer.kind) << " never came";
    }
}

bool ScriptedPlatform::openUrl(const QUrl& url) {
    return next({.kind = Kind::Open, .text = url.toString()}).answer == app::Answer::Ok;
}

void ScriptedPlatform::expectBox(app::Answer answer, Hook onCall) {
    script_.push_back({Kind::Box, answer, {}, std::move(onCall)});
}

void ScriptedPlatform::script(const QStringList& answers) {
    for (const QString& answer : answers) {
        const QString word = answer.section(u' ', 0, 0), rest = answer.section(u' ', 1);
        const std::map<QString, Scripted> kinds = {
            {"ok", {Kind::Box, app::Answer::Ok, {}, {}}},
            {"cancel", {Kind::Box, app::Answer::Cancel, {}, {}}},
            {"input", {Kind::InputBox, {}, rest, {}}},
            {"file", {Kind::FileDialog, {}, rest, {}}},
            {"opens", {Kind::Open, app::Answer::Ok, {}, {}}},
            {"fails", {Kind::Open, app::Answer::Cancel, {}, {}}},
            {"end", {Kind::EndProgram, {}, {}, {}}}};
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

ScriptedPlatform::Scripted ScriptedPlatform::next(const Call& call) {
    calls_.push_back(call);
    if (script_.empty() || script_.front().kind != call.kind) {
        ADD_FAILURE() << "unexpected " << describe(call).toStdString();
        return {call.kind, app::Answer::Cancel, {}, {}};
    }
    Scripted answer = std::move(script_.front());
    script_.pop_front();
    if (answer.hook) answer.hook(call);
    return answer;
}

}  // namespace zelvo::testing
