// The about and notices pages, the two text links and the help menu.
#include <QTabWidget>
#include <QUrl>

#include "app/box_titles.h"
#include "app/main_window.h"
#include "info/info_texts.h"

namespace zelvo::app {

void MainWindow::openWebPage(const QString& url) {
    if (!platform_.openUrl(QUrl(url))) {
        platform_.tell(QStringLiteral("无法打开网页 %1, 请在浏览器中手动打开.").arg(url),
                       kNoticeTitle);
    }
}

void MainWindow::openRegistrationPage() {
    openWebPage(config_.registrationUrl);
}

// Without a feedback page of the maker's, the bundled notices page says how to report a problem.
void MainWindow::openFeedbackPage() {
    if (config_.feedbackUrl.isEmpty()) {
        noticesView_->setSource(QUrl(QString::fromLatin1(info::kReportProblemUrl)));
        showNotices();
        return;
    }
    openWebPage(config_.feedbackUrl);
}

void MainWindow::showAbout() {
    tabs_->setCurrentWidget(aboutPage_);
}

void MainWindow::showNotices() {
    tabs_->setCurrentIndex(2);
}

}  // namespace zelvo::app
