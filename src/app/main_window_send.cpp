// The send command: check the form, submit the gateway mail, record and report it.
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

QString MainWindow::recordSend(const record::SendRecord& sent) {
    return record::appendSendRecord(record::sendRecordPath(settingsPath()), sent);
}

void MainWindow::send() {
    recordError_.clear();
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
    // The send stands as reported; the record is told of after it.
    if (!recordError_.isEmpty()) platform_.tell(recordError_, kNoticeTitle);
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
    // Set once the submission is made: from then on every outcome is recorded.
    std::optional<sms::GatewaySubmission> submission;
    const auto recordFailure = [&](const sms::MailError& error) {
        if (submission) recordError_ = recordSend(record::failedRecord(*submission, error));
        return sms::failureDetails(error);
    };
    try {
        submission = sms::gatewaySubmission(config_, form.sender, page.passwordEdit()->text(),
                                            form.recipients, form.text, workingRoute_);
        const sms::TransportOptions options{config_.smtpTimeouts, config_.smtpCaFile,
                                            config_.smtpCaFolder};
        {
            const QScopedValueRollback<bool> sending(sending_, true);
            runWithoutUserInput([&] { workingRoute_ = submit_(*submission, options); });
        }
        recordError_ = recordSend(record::sentRecord(*submission, workingRoute_));
        return std::nullopt;
    } catch (const sms::MailError& error) {
        return recordFailure(error);
    } catch (const std::exception& error) {
        return recordFailure(sms::MailError(error.what()));
    } catch (...) {
        return recordFailure(sms::MailError("unknown error"));
    }
}

}  // namespace zelvo::app
