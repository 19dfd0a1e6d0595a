#pragma once

#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <functional>
#include <memory>
#include <optional>

#include "app/link_label.h"
#include "app/multi_line_text_box.h"
#include "app/phone_list_box.h"
#include "app/platform_services.h"
#include "app/smtp_module_loader.h"
#include "app/tab_control.h"
#include "app/web_browser.h"
#include "config/app_config.h"

class QGroupBox;
class QLabel;
class QMenu;
class QSessionManager;

namespace zelvo::app {

// The program's one window. Its controls hold all state; each control event runs the handler
// named control_event, and the menu entries with a button twin call the button's handler.
class frmhome : public QMainWindow {
    Q_OBJECT
public:
    // With no submit function the window submits through the SMTP module.
    explicit frmhome(PlatformServices& platform, AppConfig config = AppConfig::builtIn(),
                     SubmitMail submit = {});
    ~frmhome() override;

    // Window events.
    void Form_Load();
    void Form_QueryUnload(qint16& Cancel, int UnloadMode);
    void Form_Resize();

    // Control events.
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void lstphone_Click();
    void Label2_Click();
    void lblfeedback_Click();
    void lblfeedback_MouseMove();

    // Menu entries.
    void M_send_Click();
    void M_saveset_Click();
    void M_exit_Click();
    void M_addphone_Click();
    void M_txt_Click();
    void M_clsphone_Click();
    void M_looktxt_Click();
    void M_msg_Click();
    void M_lblbook_Click();
    void M_about_Click();

    // Routines without an event. SaveSettings tells the user itself when the file could not
    // be written, and then returns false.
    void LoadSettings();
    bool SaveSettings();

    // Window-level state.
    qint16 SelectedCount = 0;

    // Controls, named as on screen (each also carries its name as object name).
    TabControl* SSTab1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame4 = nullptr;
    QLineEdit* txtFrom = nullptr;
    QLineEdit* txtPass = nullptr;
    MultiLineTextBox* txtSubject = nullptr;
    MultiLineTextBox* txtTextbody = nullptr;
    PhoneListBox* lstphone = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    LinkLabel* Label2 = nullptr;
    LinkLabel* lblfeedback = nullptr;
    QLabel* Label1[6] = {};  // items 0, 2, 3, 4, 5; there is no item 1
    QLabel* lblmsg1[4] = {};
    QLabel* lbltitle = nullptr;
    QLabel* lblversion = nullptr;
    QLabel* Image1 = nullptr;
    WebBrowser* WebBrowser1 = nullptr;

    // Designed client area and outer size, in twips.
    static constexpr int kClientWidthTwips = 6495;
    static constexpr int kClientHeightTwips = 7200;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void buildPage0(QWidget* page);
    void buildPage1(QWidget* page);
    void buildPage2(QWidget* page);
    void buildMenus();
    void bindEvents();
    void setTabOrder();
    void setAccessibleNames();
    QString settingsPath() const;
    void openWebPage(const QString& url);
    void onSessionEnding(QSessionManager& manager);
    void startEngineWhenIdle();
    // Checks the form and submits; the failure's details (empty for a failed check), or
    // nothing when the server accepted the mail.
    std::optional<QString> sendMessage();

    PlatformServices& platform_;
    AppConfig config_;
    SubmitMail submit_;
    QSize designedSize_;
    bool engineStarted_ = false;
    // Set by Command4_Click when the user stopped the import: nothing is saved then.
    bool importCancelled_ = false;
    // set.ini could not be read whole at start-up: the first save keeps it as set.ini.bak.
    bool keepSettingsBackup_ = false;
    bool sending_ = false;
    // The window's close button was used during a send; the question comes after it.
    bool closeRequestedWhileSending_ = false;
};

}  // namespace zelvo::app
