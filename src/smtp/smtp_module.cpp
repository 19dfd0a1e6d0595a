#include "smtp/smtp_module.h"

#include <QObject>

#include "smtp/smtp_submission.h"

namespace zelvo::smtp {

class CurlSmtpModule : public QObject, public SmtpModule {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID ZELVO_SMTP_MODULE_IID)
    Q_INTERFACES(zelvo::smtp::SmtpModule)
public:
    sms::TlsMode submitMail(const sms::GatewaySubmission& submission,
                            const sms::TransportOptions& options) override {
        return smtp::submitMail(submission, options);
    }
};

}  // namespace zelvo::smtp

#include "smtp_module.moc"
