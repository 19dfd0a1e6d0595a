// Start-up and shutdown: the load sequence and the one gate for every close request.
#include <QUrl>

#include "app/box_titles.h"
#include "app/main_window.h"
#include "info/info_texts.h"

namespace zelvo::app {

void MainWindow::startUp() {
    centreOnScreen();
    const ApplicationFacts facts = platform_.applicationFacts();
    aboutPage_->showInfo(info::makeInfoTexts(facts.title, facts.major, facts.minor, facts.revision,
                                             config_.homepageUrl, config_.contactMail));
    // A web page is loaded when the notices page is first shown.
    noticesView_->setSource(QUrl(config_.infoPageUrl));
    loadSettings();
    tellIfSettingsReadInPart();
}

// A window larger than the screen is centred too, its top left corner off the screen.
void MainWindow::centreOnScreen() {
    const QSize screen = platform_.screenSize();
    const QSize outer = frameGeometry().size();
    move((screen.width() - outer.width()) / 2, (screen.height() - outer.height()) / 2);
}

bool MainWindow::confirmClose() {
    if (platform_.ask(QStringLiteral("您确定要退出程序吗?"), kQuitTitle) != Answer::Ok) {
        return false;
    }
    if (!config_.homepageUrl.isEmpty()) {
        platform_.openUrl(QUrl(config_.homepageUrl));
    }
    platform_.endProgram();
    return true;
}

void MainWindow::requestClose() {
    close();
}

}  // namespace zelvo::app
