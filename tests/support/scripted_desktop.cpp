#include "support/scripted_desktop.h"

#include <gtest/gtest.h>

#include <map>

namespace zelvo::testing {

// Which answers fit a call, by the call's first word.
static const std::map<QString, QStringList> kAnswers = {
    {"box", {"ok", "cancel"}}, {"ask", {"ok", "cancel"}},   {"input", {"input"}},
    {"open", {"file"}},        {"url", {"opens", "fails"}}, {"editor", {"opens", "fails"}},
    {"end", {"end"}}};

ScriptedDesktop::~ScriptedDesktop() {
    for (const auto& answer : script_)
        ADD_FAILURE() << "scripted answer " << answer.first.toStdString() << " never asked for";
}

void ScriptedDesktop::expectBox(app::Answer answer, Hook onCall) {
    script_.emplace_back(answer == app::Answer::Ok ? "ok" : "cancel", std::move(onCall));
}

void ScriptedDesktop::script(const QStringList& answers) {
    for (const QString& answer : answers) script_.emplace_back(answer, Hook());
}

QStringList ScriptedDesktop::log() const {
    QStringList lines;
    for (const Call& call : calls_) lines << call.line;
    return lines;
}

QString ScriptedDesktop::next(const Call& call) {
    calls_.push_back(call);
    const QString kind = call.line.section(u' ', 0, 0);
    if (script_.empty() || !kAnswers.at(kind).contains(script_.front().first.section(u' ', 0, 0))) {
        ADD_FAILURE() << "unexpected " << call.line.toStdString();
        return {};
    }
    auto [answer, hook] = std::move(script_.front());
    script_.pop_front();
    if (hook) hook(call);
    return answer;
}

}  // namespace zelvo::testing
