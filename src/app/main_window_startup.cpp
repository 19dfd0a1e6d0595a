// Start-up and shutdown: the load sequence and the one gate for every close request.
#include <QUrl>

#include "app/main_window.h"
#include "app/twips.h"
#include "info/info_texts.h"

namespace zelvo::app {

namespace {

// Start-up skips a failing step in silence and goes on with the next one.
template <typename Step>
void runStep(Step&& step) {
    try {
        step();
    } catch (...) {
    }
}

}  // namespace

void MainWindow::startUp() {
    const QSize screen = platform_.screenSizeTwips();
    const QSize outer(pixelsToTwips(frameGeometry().width()),
                      pixelsToTwips(frameGeometry().height()));
    int top = y();
    runStep([&] { top = (screen.height() - outer.height()) / 2 / kTwipsPerPixel; });
    runStep([&] { move(x(), top); });
    runStep([&] { move((screen.width() - outer.width()) / 2 / kTwipsPerPixel, y()); });

    ApplicationFacts facts;
    runStep([&] { facts = platform_.applicationFacts(); });
    const info::InfoTexts texts =
        info::makeInfoTexts(facts.title, facts.major, facts.minor, facts.revision,
                            config_.homepageUrl, config_.contactMail);
    runStep([&] { titleLabel_->setText(texts.title); });
    runStep([&] { versionLabel_->setText(texts.version); });
    runStep([&] { functionLabel_->setText(texts.function); });
    runStep([&] { designLabel_->setText(texts.design); });
    runStep([&] { homepageLabel_->setText(texts.homepage); });
    runStep([&] { mailLabel_->setText(texts.mail); });
    // A line without an address is left out; the homepage line then moves up into its place.
    runStep([&] {
        homepageLabel_->setVisible(!texts.homepage.isEmpty());
        mailLabel_->setVisible(!texts.mail.isEmpty());
        if (texts.mail.isEmpty()) homepageLabel_->move(mailLabel_->pos());
    });
    // A web page is loaded when the notices page is first shown.
    runStep([&] { noticesView_->setSource(QUrl(config_.infoPageUrl)); });
    runStep([&] { recipientsEdit_->setText(QString()); });
    runStep([&] { messageEdit_->setText(QString()); });
    runStep([&] { accountEdit_->setText(QString()); });
    runStep([&] { passwordEdit_->setText(QString()); });
    runStep([&] { loadSettings(); });
    runStep([&] { tellIfSettingsReadInPart(); });
}

bool MainWindow::confirmClose() {
    const Answer answer =
        platform_.messageBox(QStringLiteral("您确定要退出程序吗?"), MessageStyle::QuestionOkCancel,
                             QStringLiteral("退出提示"));
    if (answer != Answer::Ok) {
        return false;
    }
    if (!config_.homepageUrl.isEmpty()) {
        platform_.startProgram(QStringLiteral("explorer.exe ") + config_.homepageUrl,
                               WindowShow::Minimized);
    }
    platform_.endProgram();
    return true;
}

void MainWindow::requestClose() {
    close();
}

}  // namespace zelvo::app
