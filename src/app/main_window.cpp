#include "app/main_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSessionManager>
#include <QTabBar>
#include <QTabWidget>
#include <utility>

#include "app/designed_geometry.h"
#include "app/window_font.h"

namespace zelvo::app {

MainWindow::MainWindow(PlatformServices& platform, AppConfig config, SubmitMail submit)
    : platform_(platform),
      config_(std::move(config)),
      submit_(submit ? std::move(submit) : submitThroughSmtpModule()) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Zelvo短信发送器"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/pictures/icon32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/pictures/icon16.png"), QSize(16, 16));
    setWindowIcon(icon);
    setFont(windowFont());
    platform_.setDialogParent(this);
    buildPages();
    buildMenus();
    bindEvents();

    const QSize client = designedClientSize();
    designedSize_ = QSize(client.width(), client.height() + menuBar()->sizeHint().height());
    setFixedSize(designedSize_);

    startUp();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildPages() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    setCentralWidget(client);

    tabs_ = new QTabWidget(client);
    tabs_->setObjectName(QStringLiteral("tabs"));
    tabs_->tabBar()->setObjectName(QStringLiteral("tabBar"));
    tabs_->tabBar()->setExpanding(false);
    aboutPage_ = new AboutPage;
    sendingPage_ = new SendingPage(config_.mailDomainSuffix);
    auto* noticesPage = new QWidget;
    noticesPage->setObjectName(QStringLiteral("noticesPage"));
    noticesView_ = new NoticesPage(noticesPage);
    noticesView_->setObjectName(QStringLiteral("noticesView"));
    noticesView_->setAccessibleName(QStringLiteral("信息公告"));
    tabs_->addTab(aboutPage_, QStringLiteral("关于程序"));
    tabs_->addTab(sendingPage_, QStringLiteral("程序界面"));
    tabs_->addTab(noticesPage, QStringLiteral("信息公告"));
    tabs_->setCurrentWidget(sendingPage_);
    placeAsDesigned(*this);

    // Tab moves through the controls that take the focus in their designed order; the web view
    // takes its place in the chain once it has started.
    const SendingPage& page = *sendingPage_;
    const QList<QWidget*> order = {tabs_->tabBar(),    page.accountEdit(), page.passwordEdit(),
                                   page.messageEdit(), page.sendButton(),  page.saveButton(),
                                   page.exitButton(),  noticesView_,       page.numberList(),
                                   page.importButton()};
    for (int i = 0; i + 1 < order.size(); ++i) {
        QWidget::setTabOrder(order[i], order[i + 1]);
    }
}

void MainWindow::bindEvents() {
    connect(sendingPage_, &SendingPage::sendRequested, this, &MainWindow::send);
    connect(sendingPage_, &SendingPage::saveRequested, this, &MainWindow::saveSettings);
    connect(sendingPage_, &SendingPage::exitRequested, this, &MainWindow::requestClose);
    connect(sendingPage_, &SendingPage::importRequested, this, &MainWindow::importPhoneBook);
    connect(sendingPage_, &SendingPage::registrationRequested, this,
            &MainWindow::openRegistrationPage);
    connect(sendingPage_->numberList(), &NumberListView::pickToggled, this,
            &MainWindow::updateRecipients);
    connect(sendingPage_->numberList(), &NumberListView::deleteRequested, this,
            &MainWindow::deletePickedNumbers);
    connect(aboutPage_, &AboutPage::feedbackRequested, this, &MainWindow::openFeedbackPage);
    connect(noticesView_, &NoticesPage::externalLinkActivated, this,
            [this](const QUrl& url) { openWebPage(url.toString()); });

    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::commitDataRequest, this, &MainWindow::onSessionEnding,
                Qt::DirectConnection);
    }
}

// Every close request ends in the one question of confirmClose.
void MainWindow::closeEvent(QCloseEvent* event) {
    if (sending_) {
        // The window takes no requests until the send is over; send asks then.
        closeRequestedWhileSending_ = true;
        event->ignore();
        return;
    }
    if (confirmClose()) {
        event->accept();
    } else {
        event->ignore();
    }
}

// Logging out or shutting down the desktop asks the same question as the close button.
void MainWindow::onSessionEnding(QSessionManager& manager) {
    if (sending_ || !manager.allowsInteraction()) {
        return;
    }
    if (!confirmClose()) {
        manager.cancel();
    }
    manager.release();
}

// The tab widget lays out its pages when it is first shown, just before the window is.
void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!pagesAligned_) {
        pagesAligned_ = true;
        alignPagesWithTabRow(*tabs_);
    }
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    keepDesignedSize();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        keepDesignedSize();
    }
}

void MainWindow::keepDesignedSize() {
    if (windowState() & Qt::WindowMinimized) {
        return;
    }
    if (size() != designedSize_) {
        resize(designedSize_);
    }
}

void MainWindow::importPhoneBookAndSave() {
    importPhoneBook();
    // An import stopped or without entries changes nothing, and nothing is saved.
    if (!importChangedNothing_) writeSettings();
}

}  // namespace zelvo::app
