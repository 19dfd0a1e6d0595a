// The send command: check the form, submit the gateway mail, record and report it; and the
// count of characters left that the check allows.
#include <QLabel>
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

void MainWindow::updateCharactersLeft() {
    const int left = sms::charactersLeft(messageEdit_->text());
    const QString text = left >= 0 ? QStringLiteral("还可输入 %1 字").arg(left)
                                   : QStringLiteral("超出 %1 字, 无法发送").arg(-left);
    charactersLeftLabel_->setText(text);
    // Read with the message field, so that a screen reader tells it where the typing goes.
    charactersLeftLabel_->setAccessibleDescription(text);
    messageEdit_->setAccessibleDescription(text);
}

QString MainWindow::recordSend(const sms::SendRecord& record) {
    return sms::appendSendRecord(sms::sendRecordPath(settingsPath()), record);
}

void MainWindow::send() {
    recordError_.clear();
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
    // The send stands as reported; the record is told of after it.
    if (!recordError_.isEmpty()) {
        platform_.messageBox(recordError_, MessageStyle::QuestionOk, kNoticeTitle);
    }
    // A close asked for while the window took no input is answered now that the send is over.
    if (closeRequestedWhileSending_) {
        closeRequestedWhileSending_ = false;
        close();
    }
}

std::optional<QString> MainWindow::checkAndSubmit() {
    // Set once the form passed the check: from then on every outcome is recorded.
    std::optional<sms::GatewaySubmission> submission;
    const auto recordFailure = [&](const sms::MailError& error) {
        if (submission) recordError_ = recordSend(sms::failedRecord(*submission, error));
        return sms::failureDetails(error);
    };
    try {
        const sms::SendForm form{accountEdit_->text(), recipientsEdit_->text(),
                                 messageEdit_->text(), selectedCount_};
        if (!sms::passesSendCheck(form, config_.mailDomainSuffix)) {
            throw CheckFailed{};
        }
        sendButton_->setText(kSendingCaption);
        sendButton_->setEnabled(false);
        submission =
            sms::gatewaySubmission(config_, accountEdit_->text(), passwordEdit_->text(),
                                   recipientsEdit_->text(), messageEdit_->text(), workingRoute_);
        const sms::TransportOptions options{config_.smtpTimeouts, config_.smtpCaFile,
                                            config_.smtpCaFolder};
        {
            const QScopedValueRollback<bool> sending(sending_, true);
            runWithoutUserInput([&] { workingRoute_ = submit_(*submission, options); });
        }
        recordError_ = recordSend(sms::sentRecord(*submission, workingRoute_));
        sendButton_->setEnabled(true);
        sendButton_->setText(kIdleCaption);
        return std::nullopt;
    } catch (const CheckFailed&) {
        return QString();
    } catch (const sms::MailError& error) {
        return recordFailure(error);
    } catch (const std::exception& error) {
        return recordFailure(sms::MailError(error.what()));
    } catch (...) {
        return recordFailure(sms::MailError("unknown error"));
    }
}

}  // namespace zelvo::app
