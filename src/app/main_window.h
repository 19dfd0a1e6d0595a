#pragma once

#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <optional>

#include "app/link_label.h"
#include "app/multi_line_text_box.h"
#include "app/notices_page.h"
#include "app/phone_list_box.h"
#include "app/platform_services.h"
#include "app/smtp_module_loader.h"
#include "app/tab_control.h"
#include "config/app_config.h"
#include "sms/send_record.h"

class QGroupBox;
class QLabel;
class QMenu;
class QSessionManager;

namespace zelvo::app {

// The program's one window. Its controls hold all state; each button, link and menu entry runs
// one slot, and a menu entry with a button twin runs the button's slot.
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

    // Designed client area and outer size, in twips.
    static constexpr int kClientWidthTwips = 6495;
    static constexpr int kClientHeightTwips = 7200;

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
    void highlightFeedbackLink();
    void showNotices();
    void showAbout();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildControls();
    void buildAboutPage(QWidget* page);
    void buildSendingPage(QWidget* page);
    void buildNoticesPage(QWidget* page);
    void buildMenus();
    void bindEvents();
    void setTabOrder();
    void setAccessibleNames();
    // The start-up sequence: each step that fails is skipped in silence.
    void startUp();
    // Asks whether to quit; on OK opens the homepage and ends the program. False when the user
    // keeps the window.
    bool confirmClose();
    // The window keeps its designed size whenever it is not minimised.
    void keepDesignedSize();
    QString settingsPath() const;
    // Shows how many characters the message may still take.
    void updateCharactersLeft();
    // Opens a file of the program's in the text editor, or says how to open it by hand.
    void openInTextEditor(const QString& path);
    // Says once, at start-up, that set.ini was refused or could not be read whole, and what
    // becomes of it.
    void tellIfSettingsReadInPart();
    void openWebPage(const QString& url);
    void onSessionEnding(QSessionManager& manager);
    // Checks the form and submits; the failure's details (empty for a failed check), or
    // nothing when the server accepted the mail.
    std::optional<QString> checkAndSubmit();
    // Adds the send to sent.log; why it could not, or an empty text.
    QString recordSend(const sms::SendRecord& record);

    PlatformServices& platform_;
    AppConfig config_;
    SubmitMail submit_;
    int selectedCount_ = 0;

    TabControl* tabs_ = nullptr;
    QGroupBox* sendingFrame_ = nullptr;
    QGroupBox* infoFrame_ = nullptr;
    QLabel* accountLabel_ = nullptr;
    QLineEdit* accountEdit_ = nullptr;
    QLabel* passwordLabel_ = nullptr;
    QLineEdit* passwordEdit_ = nullptr;
    QLabel* recipientsLabel_ = nullptr;
    MultiLineTextBox* recipientsEdit_ = nullptr;
    QLabel* numberListLabel_ = nullptr;
    PhoneListBox* numberList_ = nullptr;
    QLabel* messageLabel_ = nullptr;
    QLabel* charactersLeftLabel_ = nullptr;
    MultiLineTextBox* messageEdit_ = nullptr;
    QPushButton* sendButton_ = nullptr;
    QPushButton* importButton_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QPushButton* exitButton_ = nullptr;
    LinkLabel* registrationLink_ = nullptr;
    LinkLabel* feedbackLink_ = nullptr;
    QLabel* pictureLabel_ = nullptr;
    QLabel* titleLabel_ = nullptr;
    QLabel* versionLabel_ = nullptr;
    QLabel* functionLabel_ = nullptr;
    QLabel* designLabel_ = nullptr;
    QLabel* homepageLabel_ = nullptr;
    QLabel* mailLabel_ = nullptr;
    NoticesPage* noticesView_ = nullptr;

    QSize designedSize_;
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
