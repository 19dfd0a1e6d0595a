#include "app/sending_page.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>

#include "app/window_font.h"
#include "sms/send_check.h"

namespace zelvo::app {

namespace {

// Shows every character of a password as an asterisk, whatever the desktop style uses.
class AsteriskPasswordStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter) {
            return '*';
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

template <typename Widget, typename... Args>
Widget* named(const char* name, Args&&... args) {
    auto* widget = new Widget(std::forward<Args>(args)...);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// Screen readers announce the field by the label above it, which also gives it the focus.
QLabel* labelFor(QWidget* field, const char* name, const QString& text, QWidget* parent) {
    auto* label = named<QLabel>(name, text, parent);
    label->setBuddy(field);
    field->setAccessibleName(text);
    return label;
}

}  // namespace

SendingPage::SendingPage(const QString& mailDomainSuffix, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("sendingPage"));
    auto* frame = named<QGroupBox>("sendingFrame", this);

    accountEdit_ = named<QLineEdit>("accountEdit", frame);
    setTextColour(labelFor(accountEdit_, "accountLabel",
                           QStringLiteral("移动139邮箱帐号(例如:13806012345") + mailDomainSuffix +
                               QStringLiteral(" 必须使用移动139邮箱.)"),
                           frame),
                  kLabelRed);
    auto* registrationLink = named<LinkLabel>(
        "registrationLink", QStringLiteral("如果你没有139邮箱,可以点击这里注册"), frame);
    registrationLink->setFont(linkFont());
    registrationLink->setAccessibleName(registrationLink->text());
    registrationLink->setFocusPolicy(Qt::NoFocus);
    setTextColour(registrationLink, kLinkGreen);
    passwordEdit_ = named<QLineEdit>("passwordEdit", frame);
    labelFor(passwordEdit_, "passwordLabel", QStringLiteral("邮箱帐号密码"), frame);
    recipientsEdit_ = named<CrLfTextEdit>("recipientsEdit", frame);
    setTextColour(labelFor(recipientsEdit_, "recipientsLabel",
                           QStringLiteral("接收短信手机号码(从手机号码列表中选择)"), frame),
                  kLabelRed);
    numberList_ = named<NumberListView>("numberList", frame);
    labelFor(numberList_, "numberListLabel", QStringLiteral("手机号码列表(限制选择10个号码)"),
             frame);
    messageEdit_ = named<CrLfTextEdit>("messageEdit", frame);
    labelFor(messageEdit_, "messageLabel", QStringLiteral("短信内容"), frame);
    // In the free room to the right of 短信内容, up to the message field's right edge.
    charactersLeftLabel_ = named<QLabel>("charactersLeftLabel", frame);
    charactersLeftLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    charactersLeftLabel_->setAccessibleName(QStringLiteral("短信剩余字数"));
    sendButton_ = named<QPushButton>("sendButton", QStringLiteral("发送短信"), frame);
    importButton_ = named<QPushButton>("importButton", QStringLiteral("导入电话本"), frame);
    saveButton_ = named<QPushButton>("saveButton", QStringLiteral("保存设置"), frame);
    exitButton_ = named<QPushButton>("exitButton", QStringLiteral("退出程序"), frame);

    auto* passwordStyle = new AsteriskPasswordStyle;
    passwordStyle->setParent(passwordEdit_);
    passwordEdit_->setStyle(passwordStyle);
    passwordEdit_->setEchoMode(QLineEdit::Password);
    // The field shows the picked numbers; only the list changes it.
    recipientsEdit_->setEnabled(false);
    recipientsEdit_->setFocusPolicy(Qt::NoFocus);
    messageEdit_->setMaxLength(sms::MessageLimit);
    for (QPushButton* button : {sendButton_, importButton_, saveButton_, exitButton_}) {
        button->setAutoDefault(false);
    }

    connect(messageEdit_, &CrLfTextEdit::textChanged, this, &SendingPage::updateCharactersLeft);
    updateCharactersLeft();
    connect(sendButton_, &QPushButton::clicked, this, &SendingPage::sendRequested);
    connect(importButton_, &QPushButton::clicked, this, &SendingPage::importRequested);
    connect(saveButton_, &QPushButton::clicked, this, &SendingPage::saveRequested);
    connect(exitButton_, &QPushButton::clicked, this, &SendingPage::exitRequested);
    connect(registrationLink, &LinkLabel::clicked, this, &SendingPage::registrationRequested);
}

void SendingPage::updateCharactersLeft() {
    const int left = sms::charactersLeft(messageEdit_->text());
    const QString text = left >= 0 ? QStringLiteral("还可输入 %1 字").arg(left)
                                   : QStringLiteral("超出 %1 字, 无法发送").arg(-left);
    charactersLeftLabel_->setText(text);
    // Read with the message field, so that a screen reader tells it where the typing goes.
    charactersLeftLabel_->setAccessibleDescription(text);
    messageEdit_->setAccessibleDescription(text);
}

}  // namespace zelvo::app
