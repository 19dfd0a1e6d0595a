#pragma once

#include <QMainWindow>
#include <optional>

#include "app/desktop.h"
#include "app/smtp_module_loader.h"
#include "config/app_config.h"
#include "record/send_record.h"
#include "sms/smtp_route.h"

class QSessionManager;
class QTabWidget;

namespace zelvo::app {

class AboutPage;
class NoticesPage;
class SendingPage;

// The program's one window: it puts the three pages on a tab widget, builds the menus, and wires
// both to the pages and the desktop. It owns set.ini and the sends; the sending page owns the
// number list and its commands.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // With no submit function the window submits through the SMTP module.
    explicit MainWindow(Desktop& desktop, AppConfig config = AppConfig::builtIn(),
                        SubmitMail submit = {});
    ~MainWindow() override;

public slots:
    void send();
    // Writes the settings file and says so.
    void saveSettings();
    // Opens the record of sends, sent.log, in the text editor.
    void viewSendRecord();
    void openRegistrationPage();
    void openFeedbackPage();
    void showNotices();
    void showAbout();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // What start-up read of set.ini: what the first save must do with it, and what to tell.
    struct SettingsReading {
        bool keepBackup = false;  // not read whole: the first save keeps it as set.ini.bak
        QString refusal;          // why it was not read at all (another user's file)
    };

    void buildPages();
    void buildMenus();
    void bindEvents();
    // Empties the fields, fills the about page and loads the settings file.
    void startUp();
    SettingsReading loadSettings();
    // Says once, at start-up, that set.ini was refused or could not be read whole, and what
    // becomes of it.
    void tellIfSettingsReadInPart(const SettingsReading& reading);
    // Writes the settings file; tells the user itself when it could not, and then returns false.
    bool writeSettings();
    void centreOnScreen();
    // Asks whether to quit; on OK opens the homepage and ends the program. False when the user
    // keeps the window.
    bool confirmClose();
    // The window keeps its designed size whenever it is not minimised.
    void keepDesignedSize();
    void openWebPage(const QString& url);
    void onSessionEnding(QSessionManager& manager);
    // The outcome of one press of 发送短信, before it is told.
    struct SendOutcome {
        // The failure's details (empty for a refused form), or nothing when the server took it.
        std::optional<QString> failure = {};
        // Why the send could not be added to sent.log; empty when it was or nothing was sent.
        QString recordError = {};
        // Which parts of a message in parts went and which did not, when one failed.
        QString parts = {};
    };
    SendOutcome checkAndSubmit();

    Desktop& desktop_;
    AppConfig config_;
    SubmitMail submit_;
    QString settingsPath_;

    QTabWidget* tabs_ = nullptr;
    AboutPage* aboutPage_ = nullptr;
    SendingPage* sendingPage_ = nullptr;
    NoticesPage* noticesView_ = nullptr;

    QSize designedSize_;
    bool pagesAligned_ = false;
    // set.ini could not be read whole at start-up: the first save that works keeps it as .bak.
    bool keepSettingsBackup_ = false;
    // The route the latest send went through, tried first by the next; kept in set.ini.
    sms::TlsMode workingRoute_ = sms::TlsMode::StartTls;
    bool sending_ = false;
    // The window's close button was used during a send; the question comes after it.
    bool closeRequestedWhileSending_ = false;
};

}  // namespace zelvo::app
