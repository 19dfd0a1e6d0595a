#include "app/about_page.h"

#include <QGroupBox>
#include <QLabel>

#include "app/window_font.h"

namespace zelvo::app {

namespace {

QLabel* infoLine(const char* name, const QString& caption, QWidget* frame) {
    auto* label = new QLabel(caption, frame);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

}  // namespace

AboutPage::AboutPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("aboutPage"));
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("pictureLabel"));
    picture->setPixmap(QPixmap(QStringLiteral(":/pictures/image1.png")));
    picture->setAccessibleName(QStringLiteral("Zelvo短信发送器"));

    feedbackLink_ = new LinkLabel(QStringLiteral("意见建议信息反馈"), this);
    feedbackLink_->setObjectName(QStringLiteral("feedbackLink"));
    feedbackLink_->setFont(linkFont());
    feedbackLink_->setAccessibleName(feedbackLink_->text());
    feedbackLink_->setFocusPolicy(Qt::NoFocus);
    connect(feedbackLink_, &LinkLabel::clicked, this, &AboutPage::feedbackRequested);
    // The link turns red once the mouse has been on it.
    connect(feedbackLink_, &LinkLabel::hovered, this,
            [this] { setTextColour(feedbackLink_, kLabelRed); });

    auto* frame = new QGroupBox(QStringLiteral("软件信息栏"), this);
    frame->setObjectName(QStringLiteral("infoFrame"));
    // Design-time captions; start-up replaces them.
    designLabel_ = infoLine("designLabel", QStringLiteral("设计"), frame);
    titleLabel_ = infoLine("titleLabel", QStringLiteral("名称"), frame);
    versionLabel_ = infoLine("versionLabel", QStringLiteral("版本"), frame);
    functionLabel_ = infoLine("functionLabel", QStringLiteral("功能"), frame);
    mailLabel_ = infoLine("mailLabel", QStringLiteral("发布"), frame);
    homepageLabel_ = infoLine("homepageLabel", QStringLiteral("主页"), frame);
}

void AboutPage::showInfo(const info::InfoTexts& texts) {
    titleLabel_->setText(texts.title);
    versionLabel_->setText(texts.version);
    functionLabel_->setText(texts.function);
    designLabel_->setText(texts.design);
    homepageLabel_->setText(texts.homepage);
    mailLabel_->setText(texts.mail);
    homepageLabel_->setVisible(!texts.homepage.isEmpty());
    mailLabel_->setVisible(!texts.mail.isEmpty());
    if (texts.mail.isEmpty()) homepageLabel_->move(mailLabel_->pos());
}

}  // namespace zelvo::app
