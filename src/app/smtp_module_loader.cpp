#include "app/smtp_module_loader.h"

#include <memory>
#include <mutex>

#include "sms/mail_error.h"
#include "smtp/smtp_module.h"

namespace zelvo::app {

namespace {

// Loaded once, on the first send's thread.
class LazySmtpModule {
public:
    explicit LazySmtpModule(const QStringList& folders) : folders_(folders) {}

    sms::TlsMode submit(const sms::GatewaySubmission& submission,
                        const sms::TransportOptions& options) {
        std::call_once(loaded_, [this] { load(); });
        if (!module_) {
            throw sms::MailError(
                QStringLiteral("无法加载邮件发送模块 / cannot load the SMTP module:") + error_,
                sms::FailureCause::Setup);
        }
        return module_->submitMail(submission, options);
    }

private:
    void load() {
        module_ = loadModule<smtp::SmtpModule>(smtp::kSmtpModuleName, folders_, &error_);
    }

    const QStringList folders_;
    std::once_flag loaded_;
    smtp::SmtpModule* module_ = nullptr;
    QString error_;
};

}  // namespace

SubmitMail submitThroughSmtpModule(const QStringList& folders) {
    auto module = std::make_shared<LazySmtpModule>(folders);
    return
        [module](const sms::GatewaySubmission& submission, const sms::TransportOptions& options) {
            return module->submit(submission, options);
        };
}

}  // namespace zelvo::app
