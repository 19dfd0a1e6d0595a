#include "app/import_progress.h"

#include <QCoreApplication>
#include <QProgressDialog>

namespace zelvo::app {

namespace {
constexpr int kSteps = 1000;
}  // namespace

ImportProgress::ImportProgress(QWidget* window, QString fileName, std::chrono::milliseconds delay)
    : window_(window), fileName_(std::move(fileName)), delay_(delay) {
    clock_.start();
}

ImportProgress::~ImportProgress() = default;

bool ImportProgress::advance(qint64 done, qint64 total) {
    if (!dialog_) {
        // Until the dialog blocks the window, clicks wait: no other command may run inside
        // the import.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (clock_.elapsed() < delay_.count()) return true;
        dialog_ = std::make_unique<QProgressDialog>(
            QStringLiteral("正在导入电话本 %1 ...").arg(fileName_), QStringLiteral("取消"), 0,
            kSteps, window_);
        dialog_->setObjectName(QStringLiteral("importProgress"));
        dialog_->setWindowTitle(QStringLiteral("导入电话本"));
        dialog_->setWindowModality(Qt::WindowModal);
        dialog_->setAutoReset(false);
        dialog_->setAutoClose(false);
        dialog_->setMinimumDuration(0);
        dialog_->show();
    }
    dialog_->setValue(total > 0 ? int(std::min(done, total) * kSteps / total) : 0);
    QCoreApplication::processEvents();
    return !dialog_->wasCanceled();
}

}  // namespace zelvo::app
