#include "app/frmhome.h"

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
// Reasons for a close request; Form_QueryUnload receives them but does not act on them.
constexpr int kUnloadFromControlMenu = 0;
constexpr int kUnloadFromAppWindows = 2;
// The latest the web engine starts after the window is shown.
constexpr int kEngineStartLimitMs = 100;
}  // namespace

frmhome::frmhome(PlatformServices& platform, AppConfig config, SubmitMail submit)
    : platform_(platform),
      config_(std::move(config)),
      submit_(submit ? std::move(submit) : submitThroughSmtpModule()) {
    setObjectName(QStringLiteral("frmhome"));
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

    Form_Load();
}

frmhome::~frmhome() = default;

void frmhome::bindEvents() {
    connect(Command1, &QPushButton::clicked, this, &frmhome::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmhome::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmhome::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &frmhome::Command4_Click);
    connect(lstphone, &PhoneListBox::Click, this, &frmhome::lstphone_Click);
    connect(Label2, &LinkLabel::Click, this, &frmhome::Label2_Click);
    connect(lblfeedback, &LinkLabel::Click, this, &frmhome::lblfeedback_Click);
    connect(lblfeedback, &LinkLabel::MouseMove, this, &frmhome::lblfeedback_MouseMove);

    const std::pair<const char*, void (frmhome::*)()> menuHandlers[] = {
        {"M_send", &frmhome::M_send_Click},       {"M_saveset", &frmhome::M_saveset_Click},
        {"M_exit", &frmhome::M_exit_Click},       {"M_addphone", &frmhome::M_addphone_Click},
        {"M_txt", &frmhome::M_txt_Click},         {"M_clsphone", &frmhome::M_clsphone_Click},
        {"M_looktxt", &frmhome::M_looktxt_Click}, {"M_msg", &frmhome::M_msg_Click},
        {"M_lblbook", &frmhome::M_lblbook_Click}, {"M_about", &frmhome::M_about_Click},
    };
    for (const auto& [name, handler] : menuHandlers) {
        auto* action = findChild<QAction*>(QString::fromLatin1(name));
        Q_ASSERT(action);
        connect(action, &QAction::triggered, this, handler);
    }

    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::commitDataRequest, this, &frmhome::onSessionEnding,
                Qt::DirectConnection);
    }
}

// Every close request ends in the one question of Form_QueryUnload.
void frmhome::closeEvent(QCloseEvent* event) {
    if (sending_) {
        // The window takes no requests until the send is over; Command1_Click asks then.
        closeRequestedWhileSending_ = true;
        event->ignore();
        return;
    }
    qint16 cancel = 0;
    Form_QueryUnload(cancel, event->spontaneous() ? kUnloadFromControlMenu : kUnloadFromAppWindows);
    if (cancel != 0) {
        event->ignore();
    } else {
        event->accept();
    }
}

// Logging out or shutting down the desktop asks the same question as the close button.
void frmhome::onSessionEnding(QSessionManager& manager) {
    if (sending_ || !manager.allowsInteraction()) {
        return;
    }
    qint16 cancel = 0;
    Form_QueryUnload(cancel, kUnloadFromAppWindows);
    if (cancel != 0) {
        manager.cancel();
    }
    manager.release();
}

void frmhome::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmhome::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        Form_Resize();
    }
}

void frmhome::showEvent(QShowEvent* event) {
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
void frmhome::startEngineWhenIdle() {
    auto started = std::make_shared<bool>(false);
    auto idle = std::make_shared<QMetaObject::Connection>();
    const auto start = [this, started, idle] {
        if (*started) return;
        *started = true;
        disconnect(*idle);
        QTimer::singleShot(0, WebBrowser1, &WebBrowser::startEngine);
    };
    if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
        *idle = connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this, start] {
            if (windowHandle() && windowHandle()->isExposed()) start();
        });
    }
    QTimer::singleShot(kEngineStartLimitMs, this, start);
}

// The window keeps its designed size whenever it is not minimised.
void frmhome::Form_Resize() {
    if (windowState() & Qt::WindowMinimized) {
        return;
    }
    if (size() != designedSize_) {
        resize(designedSize_);
    }
}

void frmhome::M_send_Click() {
    Command1_Click();
}

void frmhome::M_saveset_Click() {
    Command2_Click();
}

void frmhome::M_exit_Click() {
    Command3_Click();
}

void frmhome::M_txt_Click() {
    Command4_Click();
    // A stopped import changes nothing, and nothing is saved.
    if (!importCancelled_) SaveSettings();
}

void frmhome::M_lblbook_Click() {
    lblfeedback_Click();
}

}  // namespace zelvo::app
