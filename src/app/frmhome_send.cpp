// The send command: check the form, submit the gateway mail, report.
#include <QScopedValueRollback>
#include <optional>

#include "app/blocking_call.h"
#include "app/frmhome.h"
#include "sms/failure_report.h"
#include "sms/gateway_submission.h"
#include "sms/send_check.h"

namespace zelvo::app {

namespace {
const QString kIdleCaption = QStringLiteral("发送短信");
const QString kSendingCaption = QStringLiteral("Sending...");
const QString kNoticeTitle = QStringLiteral("提示");

struct CheckFailed {};
}  // namespace

void frmhome::Command1_Click() {
    if (const std::optional<QString> failure = sendMessage()) {
        platform_.MsgBoxDetails(QStringLiteral("短信发送失败,可能是配置信息错误或网络不正常."),
                                kStyleQuestionOk, kNoticeTitle, *failure);
        Command1->setEnabled(true);
        Command1->setText(kIdleCaption);
    } else {
        platform_.MsgBox(QStringLiteral("短信发送成功."), kStyleQuestionOk, kNoticeTitle);
    }
    // A close asked for while the window took no input is answered now that the send is over.
    if (closeRequestedWhileSending_) {
        closeRequestedWhileSending_ = false;
        close();
    }
}

std::optional<QString> frmhome::sendMessage() {
    try {
        const sms::SendForm form{txtFrom->text(), txtSubject->text(), txtTextbody->text(),
                                 SelectedCount};
        if (!sms::passesSendCheck(form, config_.mailDomainSuffix)) {
            throw CheckFailed{};
        }
        Command1->setText(kSendingCaption);
        Command1->setEnabled(false);
        const sms::GatewaySubmission submission = sms::gatewaySubmission(
            config_, txtFrom->text(), txtPass->text(), txtSubject->text(), txtTextbody->text());
        const sms::TransportOptions options{config_.smtpTimeouts, config_.smtpCaFile};
        {
            const QScopedValueRollback<bool> sending(sending_, true);
            runWithoutUserInput([&] { submit_(submission, options); });
        }
        Command1->setEnabled(true);
        Command1->setText(kIdleCaption);
        return std::nullopt;
    } catch (const CheckFailed&) {
        return QString();
    } catch (const sms::MailError& error) {
        return sms::failureDetails(error);
    } catch (const std::exception& error) {
        return sms::failureDetails(sms::MailError(error.what()));
    } catch (...) {
        return sms::failureDetails(sms::MailError("unknown error"));
    }
}

}  // namespace zelvo::app
