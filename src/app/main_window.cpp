#include "app/main_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QSessionManager>
#include <QTabBar>
#include <QTabWidget>
#include <QUrl>
#include <utility>

#include "app/about_page.h"
#include "app/blocking_call.h"
#include "app/box_titles.h"
#include "app/designed_geometry.h"
#include "app/notices_page.h"
#include "app/sending_page.h"
#include "app/window_font.h"
#include "info/info_texts.h"
#include "settings/settings_location.h"
#include "sms/failure_report.h"
#include "sms/gateway_submission.h"
#include "sms/message_parts.h"

namespace zelvo::app {

MainWindow::MainWindow(Desktop& desktop, AppConfig config, SubmitMail submit)
    : desktop_(desktop),
      config_(std::move(config)),
      submit_(submit ? std::move(submit) : submitThroughSmtpModule()),
      settingsPath_(settings::settingsFileForProgram(desktop_.applicationFacts().folder,
                                                     config_.installedProgramFolders)) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Zelvo短信发送器"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/pictures/icon32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/pictures/icon16.png"), QSize(16, 16));
    setWindowIcon(icon);
    setFont(windowFont());
    desktop_.setDialogParent(this);
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
    sendingPage_ =
        new SendingPage(desktop_, config_, desktop_.applicationFacts().folder, settingsPath_);
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
    sendingPage_->chainFocus(tabs_->tabBar(), noticesView_);
}

namespace {

struct MenuEntry {
    const char* name;
    const char* caption;
    std::function<void()> run;
};

void addMenu(QMainWindow* window, const char* name, const QString& caption,
             std::initializer_list<MenuEntry> entries) {
    QMenu* menu = window->menuBar()->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name) + QStringLiteral("Title"));
    for (const MenuEntry& entry : entries) {
        QAction* action = menu->addAction(QString::fromUtf8(entry.caption));
        action->setObjectName(QString::fromLatin1(entry.name));
        QObject::connect(action, &QAction::triggered, window, entry.run);
    }
}

}  // namespace

// Three menus, no shortcut keys. A menu entry with a button twin runs what the button does; the
// list's entries save the list when it changed, the import also when the list stayed as it was.
void MainWindow::buildMenus() {
    menuBar()->setNativeMenuBar(false);
    SendingPage* page = sendingPage_;
    const auto saveIf = [this](bool changed) {
        if (changed) writeSettings();
    };
    addMenu(this, "commandMenu", QStringLiteral("菜单管理"),
            {{"sendAction", "发送短信", [this] { send(); }},
             {"saveAction", "保存设置", [this] { saveSettings(); }},
             {"sendRecordAction", "发送记录", [this] { viewSendRecord(); }},
             {"exitAction", "退出程序", [this] { close(); }}});
    addMenu(this, "numberMenu", QStringLiteral("手机号码管理"),
            {{"addNumberAction", "手动输入号码", [=] { saveIf(page->addNumberByHand()); }},
             {"importAction", "文本文件导入",
              [=] { saveIf(page->importPhoneBook() != SendingPage::Import::NothingToSave); }},
             {"deleteNumbersAction", "删除所选号码", [=] { saveIf(page->deletePickedNumbers()); }},
             {"clearListAction", "清空号码列表", [=] { saveIf(page->clearNumberList()); }},
             {"viewPhoneBookAction", "查看电话本文件", [page] { page->viewPhoneBookFile(); }}});
    addMenu(this, "helpMenu", QStringLiteral("软件帮助"),
            {{"noticesAction", "信息公告", [this] { showNotices(); }},
             {"feedbackAction", "故障反馈", [this] { openFeedbackPage(); }},
             {"aboutAction", "关于程序", [this] { showAbout(); }}});
}

void MainWindow::bindEvents() {
    connect(sendingPage_, &SendingPage::sendRequested, this, &MainWindow::send);
    connect(sendingPage_, &SendingPage::saveRequested, this, &MainWindow::saveSettings);
    connect(sendingPage_, &SendingPage::exitRequested, this, &MainWindow::close);
    connect(sendingPage_, &SendingPage::listEdited, this, &MainWindow::writeSettings);
    connect(sendingPage_, &SendingPage::registrationRequested, this,
            &MainWindow::openRegistrationPage);
    connect(aboutPage_, &AboutPage::feedbackRequested, this, &MainWindow::openFeedbackPage);
    connect(noticesView_, &NoticesPage::externalLinkActivated, this,
            [this](const QUrl& url) { openWebPage(url.toString()); });

    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::commitDataRequest, this, &MainWindow::onSessionEnding,
                Qt::DirectConnection);
    }
}

// ---- start-up and shutdown ------------------------------------------------------------------

void MainWindow::startUp() {
    centreOnScreen();
    const ApplicationFacts facts = desktop_.applicationFacts();
    aboutPage_->showInfo(info::makeInfoTexts(facts.title, facts.major, facts.minor, facts.revision,
                                             config_.homepageUrl, config_.contactMail));
    // A web page is loaded when the notices page is first shown.
    noticesView_->setSource(QUrl(config_.infoPageUrl));
    const SettingsReading reading = loadSettings();
    keepSettingsBackup_ = reading.keepBackup;
    tellIfSettingsReadInPart(reading);
}

// A window larger than the screen is centred too, its top left corner off the screen.
void MainWindow::centreOnScreen() {
    const QSize screen = desktop_.screenSize();
    const QSize outer = frameGeometry().size();
    move((screen.width() - outer.width()) / 2, (screen.height() - outer.height()) / 2);
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

bool MainWindow::confirmClose() {
    if (desktop_.ask(QStringLiteral("您确定要退出程序吗?"), kQuitTitle) != Answer::Ok) {
        return false;
    }
    if (!config_.homepageUrl.isEmpty()) {
        desktop_.openUrl(QUrl(config_.homepageUrl));
    }
    desktop_.endProgram();
    return true;
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

// ---- the settings file ----------------------------------------------------------------------

MainWindow::SettingsReading MainWindow::loadSettings() {
    settings::LoadReport report;
    const settings::SettingsData data = settings::loadSettingsFile(settingsPath_, &report);
    sendingPage_->showSettings(data);
    workingRoute_ = data.implicitTls ? sms::TlsMode::Implicit : sms::TlsMode::StartTls;
    return {.keepBackup = !report.whole, .refusal = report.refusal};
}

// What is no file at all (a folder in its place) starts empty like a first start; the save then
// says why it cannot write there.
void MainWindow::tellIfSettingsReadInPart(const SettingsReading& reading) {
    const QString shown = QDir::toNativeSeparators(settingsPath_);
    if (!reading.refusal.isEmpty()) {
        desktop_.tell(QStringLiteral("没有读取设置文件 %1: %2。程序将以空的设置运行.")
                          .arg(shown, reading.refusal),
                      kNoticeTitle);
        return;
    }
    if (!reading.keepBackup || !QFileInfo(settingsPath_).isFile()) {
        return;
    }
    desktop_.tell(QStringLiteral("设置文件 %1 未能完整读取, 程序将使用已读出的内容继续运行. "
                                 "下次保存设置时, 原文件将保留为 set.ini.bak.")
                      .arg(shown),
                  kNoticeTitle);
}

bool MainWindow::writeSettings() {
    settings::SettingsData data = sendingPage_->settings();
    data.implicitTls = workingRoute_ == sms::TlsMode::Implicit;
    const settings::SaveResult result =
        settings::saveSettingsFile(settingsPath_, data, {.keepOldFile = keepSettingsBackup_});
    if (!result.ok) {
        desktop_.tell(result.error, kNoticeTitle);
        return false;
    }
    keepSettingsBackup_ = false;
    return true;
}

void MainWindow::saveSettings() {
    if (writeSettings()) {
        // The box has OK and Cancel, as designed; either closes it.
        desktop_.ask(QStringLiteral("保存设置成功"), kNoticeTitle);
    }
}

void MainWindow::viewSendRecord() {
    const QString path = record::sendRecordPath(settingsPath_);
    if (!QFileInfo(path).isFile()) {
        desktop_.tell(QStringLiteral("还没有发送记录. 每次发送短信后, 发送记录都会写入 %1")
                          .arg(QDir::toNativeSeparators(path)),
                      kNoticeTitle);
        return;
    }
    openInTextEditorOrSay(desktop_, path);
}

// ---- sending --------------------------------------------------------------------------------

void MainWindow::send() {
    SendOutcome outcome;
    {
        // The button reads "Sending..." from the submission until its failure has been shown.
        const auto restoreButton = qScopeGuard([this] { sendingPage_->showSendUnderWay(false); });
        outcome = checkAndSubmit();
        if (outcome.failure) {
            QString text = QStringLiteral("短信发送失败,可能是配置信息错误或网络不正常.");
            if (!outcome.parts.isEmpty()) text += u'\n' + outcome.parts;
            desktop_.tellWithDetails(text, kNoticeTitle, *outcome.failure);
        }
    }
    if (!outcome.failure) desktop_.tell(QStringLiteral("短信发送成功."), kNoticeTitle);
    // The send stands as reported; the record is told of after it.
    if (!outcome.recordError.isEmpty()) desktop_.tell(outcome.recordError, kNoticeTitle);
    // A close asked for while the window took no input is answered now that the send is over.
    if (closeRequestedWhileSending_) {
        closeRequestedWhileSending_ = false;
        close();
    }
}

MainWindow::SendOutcome MainWindow::checkAndSubmit() {
    const sms::SendForm form = sendingPage_->sendForm();
    if (!sms::passesSendCheck(form, config_.mailDomainSuffix)) {
        return {.failure = QString()};
    }
    sendingPage_->showSendUnderWay(true);
    const QString recordPath = record::sendRecordPath(settingsPath_);
    SendOutcome outcome;
    // Every part is a line of the record; the first line that cannot be written is told.
    const auto keep = [&](const record::SendRecord& line) {
        const QString error = record::appendSendRecord(recordPath, line);
        if (outcome.recordError.isEmpty()) outcome.recordError = error;
    };
    // Each part is a submission of its own, in order; a failed one stops the rest.
    const QStringList parts =
        form.inParts ? sms::splitMessage(form.text).parts : QStringList{form.text};
    int sent = 0;
    // Set once the submission is made: from then on every outcome is recorded.
    std::optional<sms::GatewaySubmission> submission;
    const auto failed = [&](const sms::MailError& error) -> SendOutcome {
        if (submission) keep(record::failedRecord(*submission, error));
        outcome.failure = sms::failureDetails(error);
        if (parts.size() > 1) {
            for (qsizetype later = sent + 1; later < parts.size(); ++later) {
                keep({QDateTime::currentDateTime(),
                      form.recipients,
                      parts[later],
                      sms::partNotSent(sent + 1),
                      {}});
            }
            outcome.parts = sms::partsOutcome(sent, int(parts.size()));
        }
        return outcome;
    };
    try {
        for (const QString& part : parts) {
            submission.reset();
            submission = sms::gatewaySubmission(config_, form.sender, sendingPage_->password(),
                                                form.recipients, part, workingRoute_);
            {
                const QScopedValueRollback<bool> sending(sending_, true);
                runWithoutUserInput(
                    [&] { workingRoute_ = submit_(*submission, sms::transportOptions(config_)); });
            }
            keep(record::sentRecord(*submission, workingRoute_));
            ++sent;
        }
        return outcome;
    } catch (const sms::MailError& error) {
        return failed(error);
    } catch (const std::exception& error) {
        return failed(sms::MailError(error.what()));
    } catch (...) {
        return failed(sms::MailError("unknown error"));
    }
}

// ---- links and the help menu ----------------------------------------------------------------

void MainWindow::openWebPage(const QString& url) {
    if (!desktop_.openUrl(QUrl(url))) {
        desktop_.tell(QStringLiteral("无法打开网页 %1, 请在浏览器中手动打开.").arg(url),
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
