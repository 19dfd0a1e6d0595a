#include "app/smtp_module_loader.h"

#include <QDir>
#include <QLibrary>
#include <memory>
#include <mutex>

#include "sms/mail_error.h"
#include "smtp/smtp_module.h"

namespace zelvo::app {

namespace {

// Loaded once, on the first send's thread.
class SmtpModule {
public:
    explicit SmtpModule(const QStringList& folders) : folders_(folders) {}

    void submit(const sms::GatewaySubmission& submission, const sms::TransportOptions& options) {
        std::call_once(loaded_, [this] { load(); });
        if (!submit_) {
            throw sms::MailError(
                QStringLiteral("无法加载邮件发送模块 / cannot load the SMTP module:") + error_,
                sms::FailureCause::Setup);
        }
        submit_(submission, options);
    }

private:
    void load() {
        for (const QString& folder : folders_) {
            QLibrary module(QDir(folder).filePath(QString::fromLatin1(smtp::kSmtpModuleName)));
            submit_ =
                reinterpret_cast<smtp::SubmitMailFunction>(module.resolve(smtp::kSubmitMailSymbol));
            if (submit_) return;
            error_ += QStringLiteral("\n") + module.errorString();
        }
    }

    const QStringList folders_;
    std::once_flag loaded_;
    smtp::SubmitMailFunction submit_ = nullptr;
    QString error_;
};

}  // namespace

SubmitMail submitThroughSmtpModule(const QStringList& folders) {
    auto module = std::make_shared<SmtpModule>(folders);
    return [module](const sms::GatewaySubmission& submission,
                    const sms::TransportOptions& options) { module->submit(submission, options); };
}

}  // namespace zelvo::app
