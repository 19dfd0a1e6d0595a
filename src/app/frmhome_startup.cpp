// Start-up and shutdown: the load sequence and the one gate for every close request.
#include <QUrl>

#include "app/frmhome.h"
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

void frmhome::Form_Load() {
    const QSize screen = platform_.ScreenSizeTwips();
    const QSize outer(pixelsToTwips(frameGeometry().width()),
                      pixelsToTwips(frameGeometry().height()));
    int top = y();
    runStep([&] { top = (screen.height() - outer.height()) / 2 / kTwipsPerPixel; });
    runStep([&] { move(x(), top); });
    runStep([&] { move((screen.width() - outer.width()) / 2 / kTwipsPerPixel, y()); });

    ApplicationFacts facts;
    runStep([&] { facts = platform_.AppFacts(); });
    const info::InfoTexts texts =
        info::makeInfoTexts(facts.title, facts.major, facts.minor, facts.revision,
                            config_.homepageUrl, config_.contactMail);
    runStep([&] { lbltitle->setText(texts.title); });
    runStep([&] { lblversion->setText(texts.version); });
    runStep([&] { lblmsg1[0]->setText(texts.function); });
    runStep([&] { lblmsg1[1]->setText(texts.design); });
    runStep([&] { lblmsg1[2]->setText(texts.homepage); });
    runStep([&] { lblmsg1[3]->setText(texts.mail); });
    // A line without an address is left out; the homepage line then moves up into its place.
    runStep([&] {
        lblmsg1[2]->setVisible(!texts.homepage.isEmpty());
        lblmsg1[3]->setVisible(!texts.mail.isEmpty());
        if (texts.mail.isEmpty()) lblmsg1[2]->move(lblmsg1[3]->pos());
    });
    runStep([&] { WebBrowser1->Navigate(QUrl(config_.infoPageUrl)); });
    runStep([&] { WebBrowser1->setSilent(true); });
    runStep([&] { txtSubject->setText(QString()); });
    runStep([&] { txtTextbody->setText(QString()); });
    runStep([&] { txtFrom->setText(QString()); });
    runStep([&] { txtPass->setText(QString()); });
    runStep([&] { LoadSettings(); });
}

void frmhome::Form_QueryUnload(qint16& Cancel, int /*UnloadMode*/) {
    const int answer = platform_.MsgBox(QStringLiteral("您确定要退出程序吗?"),
                                        kStyleQuestionOkCancel, QStringLiteral("退出提示"));
    if (answer != kAnswerOk) {
        Cancel = -1;
        return;
    }
    if (!config_.homepageUrl.isEmpty()) {
        platform_.Shell(QStringLiteral("explorer.exe ") + config_.homepageUrl,
                        kWindowMinimizedFocus);
    }
    platform_.EndProgram();
}

void frmhome::Command3_Click() {
    close();
}

}  // namespace zelvo::app
