#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include "app/crlf_text_edit.h"
#include "app/link_label.h"
#include "app/number_list_view.h"

namespace zelvo::app {

// The 程序界面 page: the account, the number list, the recipient field, the message with the
// characters it may still take, and the four buttons. Each button and the registration link report
// a request; the window acts on it.
class SendingPage : public QWidget {
    Q_OBJECT
public:
    // The account label's example address ends in mailDomainSuffix.
    explicit SendingPage(const QString& mailDomainSuffix, QWidget* parent = nullptr);

    QLineEdit* accountEdit() const { return accountEdit_; }
    QLineEdit* passwordEdit() const { return passwordEdit_; }
    CrLfTextEdit* recipientsEdit() const { return recipientsEdit_; }
    NumberListView* numberList() const { return numberList_; }
    CrLfTextEdit* messageEdit() const { return messageEdit_; }
    QPushButton* sendButton() const { return sendButton_; }
    QPushButton* importButton() const { return importButton_; }
    QPushButton* saveButton() const { return saveButton_; }
    QPushButton* exitButton() const { return exitButton_; }

signals:
    void sendRequested();
    void importRequested();
    void saveRequested();
    void exitRequested();
    void registrationRequested();

private:
    // Shows how many characters the message may still take.
    void updateCharactersLeft();

    QLabel* charactersLeftLabel_ = nullptr;
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

}  // namespace zelvo::app
