#pragma once

#include <QMainWindow>

#include "app/about_page.h"
#include "app/notices_page.h"
#include "app/platform_services.h"
#include "app/sending_page.h"
#include "app/smtp_module_loader.h"
#include "config/app_config.h"
#include "record/send_record.h"
#include "sms/smtp_route.h"

class QSessionManager;
class QTabWidget;

namespace zelvo::app {

// The program's one window: its three pages on a tab widget, and the menus. Each button, link
// and menu entry runs one slot, and a menu entry with a button twin runs the button's slot.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // With no submit function the window submits through the SMTP module.
    explicit MainWindow(PlatformServices& platform, AppConfig config = AppConfig::builtIn(),
                        SubmitMail submit = {});
    ~MainWindow() override;

    // Fills the account fields and the list from the settings file.
    void loadSettings();
    // Writes the settings file; tells the user itself when it could not, and then returns false.
    bool writeSettings();
    // How many numbers the latest walk over the list accepted, 0 to 10.
    int selectedCount() const { return selectedCount_; }

public slots:
    void send();
    // Writes the settings file and says so.
    void saveSettings();
    // Fills the list from a phone book file; importPhoneBookAndSave then writes the settings
    // file unless the user stopped the import or the file held no entry.
    void importPhoneBook();
    void importPhoneBookAndSave();
    void addNumberByHand();
    // Removes the picked entries after asking, and saves the list.
    void deletePickedNumbers();
    void clearNumberList();
    // Opens the settings file, which holds the list, in the text editor.
    void viewPhoneBookFile();
    // Opens the record of sends, sent.log, in the text editor.
    void viewSendRecord();
    // Asks to close the window, as its close button does.
    void requestClose();
    // Rebuilds the recipient field from the picked entries.
    void updateRecipients();
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
    void buildPages();
    void buildMenus();
    void bindEvents();
    // Empties the fields, fills the about page and loads the settings file.
    void startUp();
    void centreOnScreen();
    // Asks whether to quit; on OK opens the homepage and ends the program. False when the user
    // keeps the window.
    bool confirmClose();
    // The window keeps its designed size whenever it is not minimised.
    void keepDesignedSize();
    QString settingsPath() const;
    // Says once, at start-up, that set.ini was refused or could not be read whole, and what
    // becomes of it.
    void tellIfSettingsReadInPart();
    void openWebPage(const QString& url);
    // Opens a file of the program's in the text editor, or says how to open it by hand.
    void openFileInEditor(const QString& path);
    void onSessionEnding(QSessionManager& manager);
    // Checks the form and submits; the failure's details (empty for a failed check), or
    // nothing when the server accepted the mail.
    std::optional<QString> checkAndSubmit();
    // Adds the send to sent.log; why it could not, or an empty text.
    QString recordSend(const record::SendRecord& sent);

    PlatformServices& platform_;
    AppConfig config_;
    SubmitMail submit_;
    int selectedCount_ = 0;

    QTabWidget* tabs_ = nullptr;
    AboutPage* aboutPage_ = nullptr;
    SendingPage* sendingPage_ = nullptr;
    NoticesPage* noticesView_ = nullptr;

    QSize designedSize_;
    bool pagesAligned_ = false;
    // Set by importPhoneBook when the user stopped the import or the file held no entry: the
    // list is as it was, and nothing is saved.
    bool importChangedNothing_ = false;
    // set.ini could not be read whole at start-up: the first save keeps it as set.ini.bak.
    bool keepSettingsBackup_ = false;
    // Why set.ini was not read at all at start-up (another user's file in a shared folder).
    QString settingsRefusal_;
    // The route the latest send went through, tried first by the next; kept in set.ini.
    sms::TlsMode workingRoute_ = sms::TlsMode::StartTls;
    bool sending_ = false;
    // Why the latest send could not be recorded; told after its outcome.
    QString recordError_;
    // The window's close button was used during a send; the question comes after it.
    bool closeRequestedWhileSending_ = false;
};

}  // namespace zelvo::app
