#include "app/sending_page.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>

#include "app/box_titles.h"
#include "app/crlf_text_edit.h"
#include "app/import_progress.h"
#include "app/link_label.h"
#include "app/number_list_view.h"
#include "app/window_font.h"
#include "recipients/list_edits.h"
#include "recipients/phone_book.h"
#include "recipients/selection_walk.h"
#include "sms/message_parts.h"

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

SendingPage::SendingPage(Desktop& desktop, const AppConfig& config, QString startFolder,
                         QString settingsFile, QWidget* parent)
    : QWidget(parent),
      desktop_(desktop),
      mailDomainSuffix_(config.mailDomainSuffix),
      importProgressDelay_(config.importProgressDelay),
      importPieceBytes_(config.importPieceBytes),
      startFolder_(std::move(startFolder)),
      settingsFile_(std::move(settingsFile)) {
    setObjectName(QStringLiteral("sendingPage"));
    auto* frame = named<QGroupBox>("sendingFrame", this);

    accountEdit_ = named<QLineEdit>("accountEdit", frame);
    setTextColour(labelFor(accountEdit_, "accountLabel",
                           QStringLiteral("移动139邮箱帐号(例如:13806012345") + mailDomainSuffix_ +
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
    // Below the buttons, with the count of parts beside it: the room beside 短信内容 is too
    // narrow for it.
    splitBox_ = named<QCheckBox>("splitCheckBox", QStringLiteral("长短信分条发送"), frame);
    splitBox_->setAccessibleName(splitBox_->text());
    partsLabel_ = named<QLabel>("partsLabel", frame);
    partsLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    partsLabel_->setAccessibleName(QStringLiteral("短信条数和剩余字数"));
    sendButton_ = named<QPushButton>("sendButton", frame);
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

    showSendUnderWay(false);

    connect(messageEdit_, &CrLfTextEdit::textChanged, this, &SendingPage::updateCharactersLeft);
    // Turned off, the field keeps what it holds: the count says it is too long to send.
    connect(splitBox_, &QCheckBox::toggled, this, [this](bool inParts) {
        messageEdit_->setMaxLength(inParts ? sms::longestSplitMessage() : sms::MessageLimit);
        updateCharactersLeft();
    });
    updateCharactersLeft();
    connect(numberList_, &NumberListView::pickToggled, this, &SendingPage::updateRecipients);
    connect(numberList_, &NumberListView::deleteRequested, this, [this] {
        if (deletePickedNumbers()) emit listEdited();
    });
    connect(sendButton_, &QPushButton::clicked, this, &SendingPage::sendRequested);
    // The button imports without saving; the menu entry saves too.
    connect(importButton_, &QPushButton::clicked, this, &SendingPage::importPhoneBook);
    connect(saveButton_, &QPushButton::clicked, this, &SendingPage::saveRequested);
    connect(exitButton_, &QPushButton::clicked, this, &SendingPage::exitRequested);
    connect(registrationLink, &LinkLabel::clicked, this, &SendingPage::registrationRequested);
}

void SendingPage::showSettings(const settings::SettingsData& data) {
    accountEdit_->setText(data.user);
    accountEdit_->home(false);
    passwordEdit_->setText(data.password);
    numberList_->setEntries(data.entries);
    splitBox_->setChecked(data.splitLongMessages);
}

settings::SettingsData SendingPage::settings() const {
    settings::SettingsData data{accountEdit_->text(), passwordEdit_->text(),
                                numberList_->entries()};
    data.splitLongMessages = splitBox_->isChecked();
    return data;
}

sms::SendForm SendingPage::sendForm() const {
    return {accountEdit_->text(), recipientsEdit_->text(), messageEdit_->text(), selectedCount_,
            splitBox_->isChecked()};
}

QString SendingPage::password() const {
    return passwordEdit_->text();
}

void SendingPage::showSendUnderWay(bool underWay) {
    sendButton_->setText(underWay ? QStringLiteral("Sending...") : QStringLiteral("发送短信"));
    sendButton_->setEnabled(!underWay);
}

void SendingPage::chainFocus(QWidget* first, QWidget* between) {
    const QList<QWidget*> order = {first,     accountEdit_, passwordEdit_, messageEdit_,
                                   splitBox_, sendButton_,  saveButton_,   exitButton_,
                                   between,   numberList_,  importButton_};
    for (int i = 0; i + 1 < order.size(); ++i) {
        QWidget::setTabOrder(order[i], order[i + 1]);
    }
}

void SendingPage::updateRecipients() {
    using recipients::WalkRejection;
    const recipients::SelectionOutcome outcome = recipients::runSelectionWalk(
        numberList_->entries(), numberList_->picks(), numberList_->currentRow());
    if (outcome.recipientText) {
        recipientsEdit_->setText(*outcome.recipientText);
    }
    selectedCount_ = outcome.selectedCount;
    if (outcome.rejection == WalkRejection::None) {
        return;
    }
    const auto clearRejectedPicks = [&] {
        for (const int row : outcome.deselect) {
            numberList_->setPicked(row, false);
        }
    };
    // The limit takes back the pick before it speaks; a wrong number is named first.
    if (outcome.rejection == WalkRejection::Limit) {
        clearRejectedPicks();
    }
    desktop_.tell(recipients::rejectionMessage(outcome.rejection), kErrorTitle);
    if (outcome.rejection != WalkRejection::Limit) {
        clearRejectedPicks();
    }
}

bool SendingPage::addNumberByHand() {
    const QString entry =
        desktop_.askForText(QStringLiteral("请输入姓名及移动手机号码,格式： 李三,13806012345"),
                            QStringLiteral("手动添加号码"), QStringLiteral("李三,13806012345"));
    if (entry.isEmpty()) {
        return false;
    }
    if (const auto refusal = recipients::manualEntryRefusal(entry, numberList_->count())) {
        desktop_.tell(*refusal, kAddNumberTitle, NoticeIcon::None);
        return false;
    }
    numberList_->addEntry(entry);
    desktop_.tell(QStringLiteral("添加 ") + entry + QStringLiteral(" 成功"), kAddNumberTitle,
                  NoticeIcon::None);
    return true;
}

bool SendingPage::deletePickedNumbers() {
    const std::vector<bool> picks = numberList_->picks();
    QStringList picked;
    for (int row = 0; row < numberList_->count(); ++row) {
        if (picks[std::size_t(row)]) picked << numberList_->entries()[row].toString();
    }
    if (picked.isEmpty()) {
        desktop_.tell(QStringLiteral("没有选择号码: 请先在号码列表中点击要删除的号码."),
                      kNoticeTitle);
        return false;
    }
    if (desktop_.ask(recipients::deletionQuestion(picked), kNoticeTitle) != Answer::Ok) {
        return false;
    }
    numberList_->setEntries(recipients::withoutPicked(numberList_->entries(), picks));
    return true;
}

bool SendingPage::clearNumberList() {
    if (desktop_.ask(QStringLiteral("您确定要清空电话列表吗?"), kNoticeTitle) != Answer::Ok) {
        return false;
    }
    numberList_->clearEntries();
    return true;
}

SendingPage::Import SendingPage::importPhoneBook() {
    const QString path = desktop_.chooseFile(
        QStringLiteral("文本文件 (*.txt);;vCard 联系人 (*.vcf *.vcard);;CSV 联系人 (*.csv);;"
                       "所有文件 (*)"),
        startFolder_);
    if (path.isEmpty()) {
        return Import::Unchanged;
    }
    // A file that cannot be read leaves the list as it was: it is the user's phone book. A
    // hidden file counts as missing.
    const QFileInfo file(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (!file.isFile() || file.isHidden()) {
        desktop_.tell(QStringLiteral("找不到电话本文件 %1, 号码列表没有改变.").arg(shown),
                      kNoticeTitle);
        return Import::Unchanged;
    }
    // Until it is complete, the import leaves the list as it is: a stopped one changes nothing.
    const recipients::PhoneBookImport book = [&] {
        ImportProgress progress(window(), file.fileName(), importProgressDelay_);
        return recipients::readPhoneBook(
            path, [&progress](qint64 done, qint64 total) { return progress.advance(done, total); },
            importPieceBytes_);
    }();
    if (book.cancelled) {
        return Import::NothingToSave;
    }
    if (!book.ok) {
        desktop_.tell(book.error + QStringLiteral(" 号码列表没有改变."), kNoticeTitle);
        return Import::Unchanged;
    }
    if (const auto empty = recipients::emptyBookNotice(book, shown)) {
        desktop_.tell(*empty, kNoticeTitle);
        return Import::NothingToSave;
    }
    numberList_->setEntries(book.entries);
    if (const auto leftOut = recipients::leftOutNotice(book)) desktop_.tell(*leftOut, kNoticeTitle);
    return Import::Replaced;
}

void SendingPage::viewPhoneBookFile() {
    if (!QFileInfo(settingsFile_).isFile()) {
        desktop_.tell(QStringLiteral("找不到电话本文件,可能你未保存或丢失."), kNoticeTitle);
        return;
    }
    openInTextEditorOrSay(desktop_, settingsFile_);
}

void openInTextEditorOrSay(Desktop& desktop, const QString& path) {
    if (!desktop.openInTextEditor(path)) {
        desktop.tell(QStringLiteral("无法打开文本编辑器, 请自行打开文件 %1")
                         .arg(QDir::toNativeSeparators(path)),
                     kNoticeTitle);
    }
}

void SendingPage::updateCharactersLeft() {
    const bool inParts = splitBox_->isChecked();
    const QString message = messageEdit_->text();
    const sms::MessageParts split =
        inParts ? sms::splitMessage(message) : sms::MessageParts{{}, sms::charactersLeft(message)};
    const QString text =
        split.left < 0 ? QStringLiteral("超出 %1 字, 无法发送").arg(-split.left)
        : inParts
            ? QStringLiteral("共 %1 条, 本条还可输入 %2 字").arg(split.parts.size()).arg(split.left)
            : QStringLiteral("还可输入 %1 字").arg(split.left);
    charactersLeftLabel_->setVisible(!inParts);
    partsLabel_->setVisible(inParts);
    QLabel* shown = inParts ? partsLabel_ : charactersLeftLabel_;
    shown->setText(text);
    // Read with the message field, so that a screen reader tells it where the typing goes.
    shown->setAccessibleDescription(text);
    messageEdit_->setAccessibleDescription(text);
}

}  // namespace zelvo::app
