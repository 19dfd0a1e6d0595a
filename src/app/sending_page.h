#pragma once

#include <QWidget>

#include "app/desktop.h"
#include "config/app_config.h"
#include "settings/settings_file.h"
#include "sms/send_check.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zelvo::app {

class CrLfTextEdit;
class NumberListView;

// The 程序界面 page: the account, the number list, the recipient field, the message with the
// characters it may still take and whether a long one goes in parts, and the four buttons. It owns
// the list and its commands; the window asks it for what a send or a save needs, and saves when a
// command says the list changed.
class SendingPage : public QWidget {
    Q_OBJECT
public:
    // The account label's example address ends in the config's mail domain; the import starts in
    // startFolder, and 查看电话本文件 opens settingsFile.
    SendingPage(Desktop& desktop, const AppConfig& config, QString startFolder,
                QString settingsFile, QWidget* parent = nullptr);

    // The account and the list as set.ini has them; settings() leaves the route to the caller.
    void showSettings(const settings::SettingsData& data);
    settings::SettingsData settings() const;
    // What the send check reads, from the fields and the latest walk over the list.
    sms::SendForm sendForm() const;
    QString password() const;
    // The send button reads "Sending..." and takes no click while a send is under way.
    void showSendUnderWay(bool underWay);
    // Tab walks the page's controls in their designed order, with `between` after the three
    // buttons and before the list; first comes before them all.
    void chainFocus(QWidget* first, QWidget* between);

    // The number-list commands. Each returns whether the list changed and is to be saved.
    bool addNumberByHand();
    bool deletePickedNumbers();
    bool clearNumberList();
    // What an import left: the list replaced, the list as it was (told why, or the file dialog
    // cancelled), or nothing to save at all (the user stopped it, the book held no entry).
    enum class Import { Replaced, Unchanged, NothingToSave };
    Import importPhoneBook();
    // Opens the settings file, which holds the list, in the text editor.
    void viewPhoneBookFile();

signals:
    void sendRequested();
    void saveRequested();
    void exitRequested();
    void registrationRequested();
    // The Delete key removed entries; the list is to be saved.
    void listEdited();

private:
    // Rebuilds the recipient field from the picked entries, telling a rejected pick.
    void updateRecipients();
    void updateCharactersLeft();

    Desktop& desktop_;
    QString mailDomainSuffix_;
    std::chrono::milliseconds importProgressDelay_;
    qint64 importPieceBytes_;
    QString startFolder_;
    QString settingsFile_;
    int selectedCount_ = 0;

    QLabel* charactersLeftLabel_ = nullptr;
    QCheckBox* splitBox_ = nullptr;  // 长短信分条发送
    QLabel* partsLabel_ = nullptr;   // the count when the message may go in parts
    QLineEdit* accountEdit_ = nullptr;
    QLineEdit* passwordEdit_ = nullptr;
    CrLfTextEdit* recipientsEdit_ = nullptr;
    NumberListView* numberList_ = nullptr;
    CrLfTextEdit* messageEdit_ = nullptr;
    QPushButton* sendButton_ = nullptr;
    QPushButton* importButton_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QPushButton* exitButton_ = nullptr;
};

// Opens path in the desktop's text editor, or says how to open it by hand.
void openInTextEditorOrSay(Desktop& desktop, const QString& path);

}  // namespace zelvo::app
