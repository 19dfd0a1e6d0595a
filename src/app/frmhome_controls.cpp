// The window's pages and controls, placed in twips as designed.
#include <QGroupBox>
#include <QLabel>
#include <QProxyStyle>

#include "app/frmhome.h"
#include "app/twips.h"
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
    QFont font(QStringLiteral("宋体"), 9);
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

void frmhome::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    setCentralWidget(client);

    SSTab1 = new TabControl(client);
    place(SSTab1, "SSTab1", 0, 0, 6500, 7200);
    buildPage0(SSTab1->addPage(QStringLiteral("关于程序"), QStringLiteral("page0")));
    buildPage1(SSTab1->addPage(QStringLiteral("程序界面"), QStringLiteral("page1")));
    buildPage2(SSTab1->addPage(QStringLiteral("信息公告"), QStringLiteral("page2")));
    SSTab1->setCurrentIndex(1);
}

void frmhome::buildPage0(QWidget* page) {
    Image1 = new QLabel(page);
    place(Image1, "Image1", 2040, 1200, 2445, 1740);
    Image1->setPixmap(QPixmap(QStringLiteral(":/pictures/image1.png")));

    lblfeedback = new LinkLabel(QStringLiteral("意见建议信息反馈"), page);
    place(lblfeedback, "lblfeedback", 2160, 3360, 2055, 255);
    lblfeedback->setFont(linkFont());

    Frame4 = new QGroupBox(QStringLiteral("软件信息栏"), page);
    place(Frame4, "Frame4", 120, 4560, 6135, 2535);

    // Design-time captions; start-up replaces them.
    lblmsg1[1] = new QLabel(QStringLiteral("设计"), Frame4);
    place(lblmsg1[1], "lblmsg1_1", 240, 360, 5775, 255);
    lbltitle = new QLabel(QStringLiteral("名称"), Frame4);
    place(lbltitle, "lbltitle", 240, 720, 5775, 255);
    lblversion = new QLabel(QStringLiteral("版本"), Frame4);
    place(lblversion, "lblversion", 240, 1080, 5775, 255);
    lblmsg1[0] = new QLabel(QStringLiteral("功能"), Frame4);
    place(lblmsg1[0], "lblmsg1_0", 240, 1440, 5775, 255);
    lblmsg1[3] = new QLabel(QStringLiteral("发布"), Frame4);
    place(lblmsg1[3], "lblmsg1_3", 240, 1800, 5775, 255);
    lblmsg1[2] = new QLabel(QStringLiteral("主页"), Frame4);
    place(lblmsg1[2], "lblmsg1_2", 240, 2160, 5775, 255);
}

void frmhome::buildPage1(QWidget* page) {
    Frame1 = new QGroupBox(page);
    place(Frame1, "Frame1", 120, 480, 6255, 6615);

    const QString example = QStringLiteral("13806012345") + config_.mailDomainSuffix;
    Label1[5] = new QLabel(QStringLiteral("移动139邮箱帐号(例如:") + example +
                               QStringLiteral(" 必须使用移动139邮箱.)"),
                           Frame1);
    place(Label1[5], "Label1_5", 240, 360, 5895, 255);
    setTextColour(Label1[5], kRed);

    txtFrom = new QLineEdit(Frame1);
    place(txtFrom, "txtFrom", 240, 720, 1935, 270);

    Label2 = new LinkLabel(QStringLiteral("如果你没有139邮箱,可以点击这里注册"), Frame1);
    place(Label2, "Label2", 2520, 720, 3135, 255);
    Label2->setFont(linkFont());
    setTextColour(Label2, kGreen);

    Label1[4] = new QLabel(QStringLiteral("邮箱帐号密码"), Frame1);
    place(Label1[4], "Label1_4", 240, 1200, 1215, 255);

    txtPass = new QLineEdit(Frame1);
    place(txtPass, "txtPass", 240, 1560, 1935, 270);
    auto* passwordStyle = new AsteriskPasswordStyle;
    passwordStyle->setParent(txtPass);
    txtPass->setStyle(passwordStyle);
    txtPass->setEchoMode(QLineEdit::Password);

    Label1[3] = new QLabel(QStringLiteral("接收短信手机号码(从手机号码列表中选择)"), Frame1);
    place(Label1[3], "Label1_3", 240, 2040, 5775, 255);
    setTextColour(Label1[3], kRed);

    txtSubject = new MultiLineTextBox(Frame1);
    place(txtSubject, "txtSubject", 360, 2400, 5535, 735);
    txtSubject->setEnabled(false);

    Label1[0] = new QLabel(QStringLiteral("手机号码列表(限制选择10个号码)"), Frame1);
    place(Label1[0], "Label1_0", 240, 3240, 2895, 255);

    Label1[2] = new QLabel(QStringLiteral("短信内容"), Frame1);
    place(Label1[2], "Label1_2", 3240, 3240, 735, 255);

    lstphone = new PhoneListBox(Frame1);
    place(lstphone, "lstphone", 240, 3600, 2775, 1740);

    txtTextbody = new MultiLineTextBox(Frame1);
    place(txtTextbody, "txtTextbody", 3240, 3600, 2775, 1815);
    txtTextbody->setMaxLength(sms::MessageLimit);

    Command1 = new QPushButton(QStringLiteral("发送短信"), Frame1);
    place(Command1, "Command1", 240, 5640, 1200, 615);
    Command4 = new QPushButton(QStringLiteral("导入电话本"), Frame1);
    place(Command4, "Command4", 1800, 5640, 1200, 615);
    Command2 = new QPushButton(QStringLiteral("保存设置"), Frame1);
    place(Command2, "Command2", 3240, 5640, 1200, 615);
    Command3 = new QPushButton(QStringLiteral("退出程序"), Frame1);
    place(Command3, "Command3", 4800, 5640, 1200, 615);
    for (QPushButton* button : {Command1, Command2, Command3, Command4}) {
        button->setAutoDefault(false);
    }
}

void frmhome::buildPage2(QWidget* page) {
    WebBrowser1 = new WebBrowser(page);
    place(WebBrowser1, "WebBrowser1", 120, 480, 6255, 6615);
}

// Tab moves through the controls that take the focus in their designed order.
void frmhome::setTabOrder() {
    const QList<QWidget*> order = {SSTab1->tabBar(), txtFrom,     txtPass,  txtSubject,
                                   txtTextbody,      Command1,    Command2, Command3,
                                   lblfeedback,      WebBrowser1, lstphone, Command4};
    for (int i = 0; i + 1 < order.size(); ++i) {
        QWidget::setTabOrder(order[i], order[i + 1]);
    }
    txtSubject->setFocusPolicy(Qt::NoFocus);
    lblfeedback->setFocusPolicy(Qt::NoFocus);
    Label2->setFocusPolicy(Qt::NoFocus);
}

// Screen readers announce each field and the list by the label above it.
void frmhome::setAccessibleNames() {
    const std::pair<QLabel*, QWidget*> buddies[] = {
        {Label1[5], txtFrom},  {Label1[4], txtPass},     {Label1[3], txtSubject},
        {Label1[0], lstphone}, {Label1[2], txtTextbody},
    };
    for (const auto& [label, field] : buddies) {
        label->setBuddy(field);
        field->setAccessibleName(label->text());
    }
    Label2->setAccessibleName(Label2->text());
    lblfeedback->setAccessibleName(lblfeedback->text());
    Image1->setAccessibleName(QStringLiteral("Zelvo短信发送器"));
    WebBrowser1->setAccessibleName(QStringLiteral("信息公告"));
}

}  // namespace zelvo::app
