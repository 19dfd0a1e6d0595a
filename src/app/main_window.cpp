#include "app/main_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QSessionManager>
#include <utility>

#include "app/twips.h"
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
    buildControls();
    buildMenus();
    setTabOrder();
    setAccessibleNames();
    bindEvents();
    updateCharactersLeft();

    // The client area has the designed size; the menu bar comes on top of it.
    const QSize client(twipsToPixels(kClientWidthTwips), twipsToPixels(kClientHeightTwips));
    designedSize_ = QSize(client.width(), client.height() + menuBar()->sizeHint().height());
    setFixedSize(designedSize_);

    startUp();
}

MainWindow::~MainWindow() = default;

void MainWindow::bindEvents() {
    connect(sendButton_, &QPushButton::clicked, this, &MainWindow::send);
    connect(saveButton_, &QPushButton::clicked, this, &MainWindow::saveSettings);
    connect(exitButton_, &QPushButton::clicked, this, &MainWindow::requestClose);
    connect(importButton_, &QPushButton::clicked, this, &MainWindow::importPhoneBook);
    connect(numberList_, &PhoneListBox::pickToggled, this, &MainWindow::updateRecipients);
    connect(numberList_, &PhoneListBox::deleteRequested, this, &MainWindow::deletePickedNumbers);
    connect(messageEdit_, &MultiLineTextBox::textChanged, this, &MainWindow::updateCharactersLeft);
    connect(registrationLink_, &LinkLabel::clicked, this, &MainWindow::openRegistrationPage);
    connect(feedbackLink_, &LinkLabel::clicked, this, &MainWindow::openFeedbackPage);
    connect(feedbackLink_, &LinkLabel::hovered, this, &MainWindow::highlightFeedbackLink);
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
