// The about and notices pages, the two text links and the help menu.
#include <QUrl>

#include "app/frmhome.h"
#include "info/info_texts.h"

namespace zelvo::app {

void frmhome::openWebPage(const QString& url) {
    if (!platform_.Shell(QStringLiteral("explorer.exe ") + url, kWindowMinimizedFocus)) {
        platform_.MsgBox(QStringLiteral("无法打开网页 %1, 请在浏览器中手动打开.").arg(url),
                         kStyleQuestionOk, QStringLiteral("提示"));
    }
}

void frmhome::Label2_Click() {
    openWebPage(config_.registrationUrl);
}

// Without a feedback page of the maker's, the bundled notices page says how to report a problem.
void frmhome::lblfeedback_Click() {
    if (config_.feedbackUrl.isEmpty()) {
        WebBrowser1->Navigate(QUrl(QString::fromLatin1(info::kReportProblemUrl)));
        SSTab1->setCurrentIndex(2);
        return;
    }
    openWebPage(config_.feedbackUrl);
}

void frmhome::lblfeedback_MouseMove() {
    QPalette palette = lblfeedback->palette();
    palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
    lblfeedback->setPalette(palette);
}

void frmhome::M_about_Click() {
    SSTab1->setCurrentIndex(0);
}

void frmhome::M_msg_Click() {
    SSTab1->setCurrentIndex(2);
}

}  // namespace zelvo::app
