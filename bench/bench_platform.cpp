#include "bench_platform.h"


namespace zelvo::bench {

int BenchPlatform::MsgBox(const QString& text, int, const QString&) {
    if (onMsgBox) onMsgBox(text);
    messages.append(text);
    return app::kAnswerOk;
}

QString BenchPlatform::InputBox(const QString&, const QString&, const QString&) {
    return {};
}

QString BenchPlatform::OpenFileDialog(const QString&, const QString&, const QString&) {
    return openFileAnswer;
}

bool BenchPlatform::Shell(const QString&, int) {
    return false;
}

app::ApplicationFacts BenchPlatform::AppFacts() {
    return {appFolder_, QStringLiteral("Zelvo短信发送器"), 1, 0, 0};
}

}  // namespace zelvo::bench
