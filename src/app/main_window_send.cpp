// The send command: check the form, submit the gateway mail, report.
#include <QScopedValueRollback>
#include <optional>

#include "app/blocking_call.h"
#include "app/main_window.h"
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

void MainWindow::send() {
    if (const std::optional<QString> failure = checkAndSubmit()) {
        platform_.messageBoxWithDetails(
            QStringLiteral("短信发送失败,可能是配置信息错误或网络不正常."),
            MessageStyle::QuestionOk, kNoticeTitle, *failure);
        sendButton_->setEnabled(true);
        sendButton_->setText(kIdleCaption);
    } else {
        platform_.messageBox(QStringLiteral("短信发送成功."), MessageStyle::QuestionOk,
                             kNoticeTitle);
    }
    // A close asked for while the window took no input is answered now that the send is over.
    if (closeRequestedWhileSending_) {
        closeRequestedWhileSending_ = false;
        close();
    }
}

std::optional<QString> MainWindow::checkAndSubmit() {
    try {
        const sms::SendForm form{accountEdit_->text(), recipientsEdit_->text(),
                                 messageEdit_->text(), selectedCount_};
        if (!sms::passesSendCheck(form, config_.mailDomainSuffix)) {
            throw CheckFailed{};
        }
        sendButton_->setText(kSendingCaption);
        sendButton_->setEnabled(false);
        const sms::GatewaySubmission submission =
            sms::gatewaySubmission(config_, accountEdit_->text(), passwordEdit_->text(),
                                   recipientsEdit_->text(), messageEdit_->text(), workingRoute_);
        const sms::TransportOptions options{config_.smtpTimeouts, config_.smtpCaFile,
                                            config_.smtpCaFolder};
        {
            const QScopedValueRollback<bool> sending(sending_, true);
            runWithoutUserInput([&] { workingRoute_ = submit_(submission, options); });
        }
        sendButton_->setEnabled(true);
        sendButton_->setText(kIdleCaption);
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
