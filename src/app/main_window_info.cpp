// The about and notices pages, the two text links and the help menu.
#include <QUrl>

#include "app/main_window.h"
#include "info/info_texts.h"

namespace zelvo::app {

void MainWindow::openWebPage(const QString& url) {
    if (!platform_.startProgram(QStringLiteral("explorer.exe ") + url, WindowShow::Minimized)) {
        platform_.messageBox(QStringLiteral("无法打开网页 %1, 请在浏览器中手动打开.").arg(url),
                             MessageStyle::QuestionOk, QStringLiteral("提示"));
    }
}

void MainWindow::openRegistrationPage() {
    openWebPage(config_.registrationUrl);
}

// Without a feedback page of the maker's, the bundled notices page says how to report a problem.
void MainWindow::openFeedbackPage() {
    if (config_.feedbackUrl.isEmpty()) {
        noticesView_->setSource(QUrl(QString::fromLatin1(info::kReportProblemUrl)));
        tabs_->setCurrentIndex(2);
        return;
    }
    openWebPage(config_.feedbackUrl);
}

void MainWindow::highlightFeedbackLink() {
    QPalette palette = feedbackLink_->palette();
    palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
    feedbackLink_->setPalette(palette);
}

void MainWindow::showAbout() {
    tabs_->setCurrentIndex(0);
}

void MainWindow::showNotices() {
    tabs_->setCurrentIndex(2);
}

}  // namespace zelvo::app
