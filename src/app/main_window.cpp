#include "app/main_window.h"

#include <QAbstractEventDispatcher>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QSessionManager>
#include <QTimer>
#include <QWindow>
#include <memory>

#include "app/twips.h"

namespace zelvo::app {

namespace {
// The latest the web engine starts after the window is shown.
constexpr int kEngineStartLimitMs = 100;
}  // namespace

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
    // The layout was drawn for the Chinese desktop's default font, 宋体 at 9 points.
    setFont(QFont(QStringLiteral("宋体"), 9));
    platform_.setDialogParent(this);
    buildControls();
    buildMenus();
    setTabOrder();
    setAccessibleNames();
    bindEvents();

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
    connect(registrationLink_, &LinkLabel::clicked, this, &MainWindow::openRegistrationPage);
    connect(feedbackLink_, &LinkLabel::clicked, this, &MainWindow::openFeedbackPage);
    connect(feedbackLink_, &LinkLabel::hovered, this, &MainWindow::highlightFeedbackLink);

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

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!engineStarted_ && config_.startWebEngine) {
        engineStarted_ = true;
        startEngineWhenIdle();
    }
}

// Starting the web engine keeps the event loop busy for a good tenth of a second. A zero timer
// set here would fire before the window is even exposed, so the engine starts once the window
// is on screen and the event loop has nothing left to do, or after a short while at the latest:
// a loop that never waits (a test polling in a loop) never goes idle.
void MainWindow::startEngineWhenIdle() {
    auto started = std::make_shared<bool>(false);
    auto idle = std::make_shared<QMetaObject::Connection>();
    const auto start = [this, started, idle] {
        if (*started) return;
        *started = true;
        disconnect(*idle);
        QTimer::singleShot(0, noticesView_, &WebBrowser::startEngine);
    };
    if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
        *idle = connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this, start] {
            if (windowHandle() && windowHandle()->isExposed()) start();
        });
    }
    QTimer::singleShot(kEngineStartLimitMs, this, start);
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
