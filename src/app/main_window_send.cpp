// The send command: check the form, submit the gateway mail, report.
#include <QPushButton>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <optional>

#include "app/blocking_call.h"
#include "app/box_titles.h"
#include "app/main_window.h"
#include "sms/failure_report.h"
#include "sms/gateway_submission.h"
#include "sms/send_check.h"

namespace zelvo::app {

void MainWindow::send() {
    bool sent = false;
    {
        // The button reads "Sending..." from the submission until its failure has been shown.
        QPushButton* button = sendingPage_->sendButton();
        const auto restoreButton = qScopeGuard([button] {
            button->setEnabled(true);
            button->setText(QStringLiteral("发送短信"));
        });
        const std::optional<QString> failure = checkAndSubmit();
        if (failure) {
            platform_.tellWithDetails(
                QStringLiteral("短信发送失败,可能是配置信息错误或网络不正常."), kNoticeTitle,
                *failure);
        }
        sent = !failure;
    }
    if (sent) platform_.tell(QStringLiteral("短信发送成功."), kNoticeTitle);
    // A close asked for while the window took no input is answered now that the send is over.
    if (closeRequestedWhileSending_) {
        closeRequestedWhileSending_ = false;
        close();
    }
}

std::optional<QString> MainWindow::checkAndSubmit() {
    const SendingPage& page = *sendingPage_;
    const sms::SendForm form{page.accountEdit()->text(), page.recipientsEdit()->text(),
                             page.messageEdit()->text(), selectedCount_};
    if (!sms::passesSendCheck(form, config_.mailDomainSuffix)) {
        return QString();
    }
    page.sendButton()->setText(QStringLiteral("Sending..."));
    page.sendButton()->setEnabled(false);
    try {
        const sms::GatewaySubmission submission =
            sms::gatewaySubmission(config_, form.sender, page.passwordEdit()->text(),
                                   form.recipients, form.text, workingRoute_);
        const sms::TransportOptions options{config_.smtpTimeouts, config_.smtpCaFile};
        const QScopedValueRollback<bool> sending(sending_, true);
        runWithoutUserInput([&] { workingRoute_ = submit_(submission, options); });
        return std::nullopt;
    } catch (const sms::MailError& error) {
        return sms::failureDetails(error);
    } catch (const std::exception& error) {
        return sms::failureDetails(sms::MailError(error.what()));
    } catch (...) {
        return sms::failureDetails(sms::MailError("unknown error"));
    }
}

}  // namespace zelvo::app
