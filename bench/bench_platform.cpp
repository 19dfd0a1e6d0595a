#include "bench_platform.h"

#include <QFile>
#include <QFileInfo>

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

bool BenchPlatform::FileExists(const QString& path, bool includeHidden) {
    const QFileInfo info(path);
    return info.isFile() && (includeHidden || !info.isHidden());
}

bool BenchPlatform::DeleteFile(const QString& path) {
    return QFile::remove(path);
}

recipients::TextLines BenchPlatform::ReadTextLines(const QString& path) {
    return recipients::readTextLines(path);
}

app::ApplicationFacts BenchPlatform::AppFacts() {
    return {appFolder_, QStringLiteral("Zelvo短信发送器"), 1, 0, 0};
}

}  // namespace zelvo::bench
