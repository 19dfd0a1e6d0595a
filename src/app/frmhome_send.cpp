// The send command: check the form, fill the mail object, submit, report.
#include <QScopedValueRollback>

#include "app/blocking_call.h"
#include "app/frmhome.h"
#include "sms/send_check.h"

namespace zelvo::app {

namespace {
const QString kIdleCaption = QStringLiteral("发送短信");
const QString kSendingCaption = QStringLiteral("Sending...");

struct CheckFailed {};
}  // namespace

void frmhome::Command1_Click() {
    try {
        const sms::SendForm form{txtFrom->text(), txtSubject->text(), txtTextbody->text(),
                                 SelectedCount};
        if (!sms::passesSendCheck(form, config_.mailDomainSuffix)) {
            throw CheckFailed{};
        }
        Command1->setText(kSendingCaption);
        Command1->setEnabled(false);
        if (!MailMessage) {
            throw sms::MailError("no mail object");
        }
        MailMessage->From = txtFrom->text();
        MailMessage->To = config_.gatewayAddress;
        MailMessage->Subject = txtSubject->text();
        MailMessage->Textbody = txtTextbody->text();
        sms::CdoFields& fields = MailMessage->Configuration.Fields;
        fields.Item(CdoConfigPrefix + QStringLiteral("sendusing")) = 2;
        fields.Item(CdoConfigPrefix + QStringLiteral("smtpserver")) = config_.smtpHost;
        fields.Item(CdoConfigPrefix + QStringLiteral("smtpserverport")) = config_.smtpPort;
        fields.Item(CdoConfigPrefix + QStringLiteral("smtpauthenticate")) = 1;
        fields.Item(CdoConfigPrefix + QStringLiteral("sendusername")) =
            sms::loginNameOf(txtFrom->text());
        fields.Item(CdoConfigPrefix + QStringLiteral("sendpassword")) = txtPass->text();
        fields.Update();
        {
            const QScopedValueRollback<bool> sending(sending_, true);
            runWithoutUserInput([message = MailMessage.get()] { message->send(); });
        }
        Command1->setEnabled(true);
        Command1->setText(kIdleCaption);
    } catch (...) {
        platform_.MsgBox(QStringLiteral("短信发送失败,可能是配置信息错误或网络不正常."),
                         kStyleQuestionOk, QStringLiteral("提示"));
        Command1->setEnabled(true);
        Command1->setText(kIdleCaption);
        return;
    }
    platform_.MsgBox(QStringLiteral("短信发送成功."), kStyleQuestionOk, QStringLiteral("提示"));
}

}  // namespace zelvo::app
