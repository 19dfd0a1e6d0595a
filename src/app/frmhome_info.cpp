// The about and notices pages, the two text links and the help menu.
#include "app/frmhome.h"

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

void frmhome::lblfeedback_Click() {
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
