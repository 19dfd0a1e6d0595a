// The window's pages and controls, placed in twips as designed.
#include <QGroupBox>
#include <QLabel>
#include <QProxyStyle>

#include "app/main_window.h"
#include "app/twips.h"
#include "app/window_font.h"
#include "sms/send_check.h"

namespace zelvo::app {

namespace {

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 128, 0);

void place(QWidget* widget, const char* name, int left, int top, int width, int height) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(twipsRect(left, top, width, height));
}

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

QFont linkFont() {
    QFont font = windowFont();
    font.setWeight(QFont::Normal);
    font.setUnderline(true);
    return font;
}

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

}  // namespace

void MainWindow::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    setCentralWidget(client);

    tabs_ = new TabControl(client);
    place(tabs_, "tabs", 0, 0, 6500, 7200);
    buildAboutPage(tabs_->addPage(QStringLiteral("关于程序"), QStringLiteral("aboutPage")));
    buildSendingPage(tabs_->addPage(QStringLiteral("程序界面"), QStringLiteral("sendingPage")));
    buildNoticesPage(tabs_->addPage(QStringLiteral("信息公告"), QStringLiteral("noticesPage")));
    tabs_->setCurrentIndex(1);
}

void MainWindow::buildAboutPage(QWidget* page) {
    pictureLabel_ = new QLabel(page);
    place(pictureLabel_, "pictureLabel", 2040, 1200, 2445, 1740);
    pictureLabel_->setPixmap(QPixmap(QStringLiteral(":/pictures/image1.png")));

    feedbackLink_ = new LinkLabel(QStringLiteral("意见建议信息反馈"), page);
    place(feedbackLink_, "feedbackLink", 2160, 3360, 2055, 255);
    feedbackLink_->setFont(linkFont());

    infoFrame_ = new QGroupBox(QStringLiteral("软件信息栏"), page);
    place(infoFrame_, "infoFrame", 120, 4560, 6135, 2535);

    // Design-time captions; start-up replaces them.
    designLabel_ = new QLabel(QStringLiteral("设计"), infoFrame_);
    place(designLabel_, "designLabel", 240, 360, 5775, 255);
    titleLabel_ = new QLabel(QStringLiteral("名称"), infoFrame_);
    place(titleLabel_, "titleLabel", 240, 720, 5775, 255);
    versionLabel_ = new QLabel(QStringLiteral("版本"), infoFrame_);
    place(versionLabel_, "versionLabel", 240, 1080, 5775, 255);
    functionLabel_ = new QLabel(QStringLiteral("功能"), infoFrame_);
    place(functionLabel_, "functionLabel", 240, 1440, 5775, 255);
    mailLabel_ = new QLabel(QStringLiteral("发布"), infoFrame_);
    place(mailLabel_, "mailLabel", 240, 1800, 5775, 255);
    homepageLabel_ = new QLabel(QStringLiteral("主页"), infoFrame_);
    place(homepageLabel_, "homepageLabel", 240, 2160, 5775, 255);
}

void MainWindow::buildSendingPage(QWidget* page) {
    sendingFrame_ = new QGroupBox(page);
    place(sendingFrame_, "sendingFrame", 120, 480, 6255, 6615);

    const QString example = QStringLiteral("13806012345") + config_.mailDomainSuffix;
    accountLabel_ = new QLabel(QStringLiteral("移动139邮箱帐号(例如:") + example +
                                   QStringLiteral(" 必须使用移动139邮箱.)"),
                               sendingFrame_);
    place(accountLabel_, "accountLabel", 240, 360, 5895, 255);
    setTextColour(accountLabel_, kRed);

    accountEdit_ = new QLineEdit(sendingFrame_);
    place(accountEdit_, "accountEdit", 240, 720, 1935, 270);

    registrationLink_ =
        new LinkLabel(QStringLiteral("如果你没有139邮箱,可以点击这里注册"), sendingFrame_);
    place(registrationLink_, "registrationLink", 2520, 720, 3135, 255);
    registrationLink_->setFont(linkFont());
    setTextColour(registrationLink_, kGreen);

    passwordLabel_ = new QLabel(QStringLiteral("邮箱帐号密码"), sendingFrame_);
    place(passwordLabel_, "passwordLabel", 240, 1200, 1215, 255);

    passwordEdit_ = new QLineEdit(sendingFrame_);
    place(passwordEdit_, "passwordEdit", 240, 1560, 1935, 270);
    auto* passwordStyle = new AsteriskPasswordStyle;
    passwordStyle->setParent(passwordEdit_);
    passwordEdit_->setStyle(passwordStyle);
    passwordEdit_->setEchoMode(QLineEdit::Password);

    recipientsLabel_ =
        new QLabel(QStringLiteral("接收短信手机号码(从手机号码列表中选择)"), sendingFrame_);
    place(recipientsLabel_, "recipientsLabel", 240, 2040, 5775, 255);
    setTextColour(recipientsLabel_, kRed);

    recipientsEdit_ = new MultiLineTextBox(sendingFrame_);
    place(recipientsEdit_, "recipientsEdit", 360, 2400, 5535, 735);
    recipientsEdit_->setEnabled(false);

    numberListLabel_ = new QLabel(QStringLiteral("手机号码列表(限制选择10个号码)"), sendingFrame_);
    place(numberListLabel_, "numberListLabel", 240, 3240, 2895, 255);

    messageLabel_ = new QLabel(QStringLiteral("短信内容"), sendingFrame_);
    place(messageLabel_, "messageLabel", 3240, 3240, 735, 255);
    // In the free room to the right of 短信内容, up to the message field's right edge.
    charactersLeftLabel_ = new QLabel(sendingFrame_);
    place(charactersLeftLabel_, "charactersLeftLabel", 3975, 3240, 2040, 255);
    charactersLeftLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    numberList_ = new PhoneListBox(sendingFrame_);
    place(numberList_, "numberList", 240, 3600, 2775, 1740);

    messageEdit_ = new MultiLineTextBox(sendingFrame_);
    place(messageEdit_, "messageEdit", 3240, 3600, 2775, 1815);
    messageEdit_->setMaxLength(sms::MessageLimit);

    sendButton_ = new QPushButton(QStringLiteral("发送短信"), sendingFrame_);
    place(sendButton_, "sendButton", 240, 5640, 1200, 615);
    importButton_ = new QPushButton(QStringLiteral("导入电话本"), sendingFrame_);
    place(importButton_, "importButton", 1800, 5640, 1200, 615);
    saveButton_ = new QPushButton(QStringLiteral("保存设置"), sendingFrame_);
    place(saveButton_, "saveButton", 3240, 5640, 1200, 615);
    exitButton_ = new QPushButton(QStringLiteral("退出程序"), sendingFrame_);
    place(exitButton_, "exitButton", 4800, 5640, 1200, 615);
    for (QPushButton* button : {sendButton_, saveButton_, exitButton_, importButton_}) {
        button->setAutoDefault(false);
    }
}

void MainWindow::buildNoticesPage(QWidget* page) {
    noticesView_ = new NoticesPage(page);
    place(noticesView_, "noticesView", 120, 480, 6255, 6615);
}

// Tab moves through the controls that take the focus in their designed order.
void MainWindow::setTabOrder() {
    const QList<QWidget*> order = {tabs_->tabBar(), accountEdit_, passwordEdit_, recipientsEdit_,
                                   messageEdit_,    sendButton_,  saveButton_,   exitButton_,
                                   feedbackLink_,   noticesView_, numberList_,   importButton_};
    for (int i = 0; i + 1 < order.size(); ++i) {
        QWidget::setTabOrder(order[i], order[i + 1]);
    }
    recipientsEdit_->setFocusPolicy(Qt::NoFocus);
    feedbackLink_->setFocusPolicy(Qt::NoFocus);
    registrationLink_->setFocusPolicy(Qt::NoFocus);
}

// Screen readers announce each field and the list by the label above it.
void MainWindow::setAccessibleNames() {
    const std::pair<QLabel*, QWidget*> buddies[] = {
        {accountLabel_, accountEdit_},       {passwordLabel_, passwordEdit_},
        {recipientsLabel_, recipientsEdit_}, {numberListLabel_, numberList_},
        {messageLabel_, messageEdit_},
    };
    for (const auto& [label, field] : buddies) {
        label->setBuddy(field);
        field->setAccessibleName(label->text());
    }
    registrationLink_->setAccessibleName(registrationLink_->text());
    feedbackLink_->setAccessibleName(feedbackLink_->text());
    pictureLabel_->setAccessibleName(QStringLiteral("Zelvo短信发送器"));
    noticesView_->setAccessibleName(QStringLiteral("信息公告"));
    charactersLeftLabel_->setAccessibleName(QStringLiteral("短信剩余字数"));
}

}  // namespace zelvo::app
