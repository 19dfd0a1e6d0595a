#include "sms/cdo_message.h"

#include <utility>

#include "sms/mail_composer.h"

namespace zelvo::sms {
namespace {

[[noreturn]] void badConfiguration(const QString& english) {
    throw MailError(QStringLiteral("邮件配置无效 / invalid mail configuration: ") + english,
                    FailureCause::InvalidInput);
}

int integerField(const CdoFields& fields, const QString& shortName, int fallback) {
    const QVariant value = fields.committed(shortName);
    if (!value.isValid()) return fallback;
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!ok) badConfiguration(shortName + QStringLiteral(" is not a number"));
    return number;
}

}  // namespace

QVariant& CdoFields::Item(const QString& fullName) {
    return pending_[fullName];
}

void CdoFields::Update() {
    committed_ = pending_;
}

QVariant CdoFields::committed(const QString& shortName) const {
    const auto found = committed_.find(QLatin1String(kCdoConfigNamespace) + shortName);
    return found == committed_.end() ? QVariant() : found->second;
}

CdoMessage::CdoMessage(SubmitMailFunction submit, TransportOptions options)
    : submit_(submit), options_(std::move(options)) {}

void CdoMessage::send() {
    submit_(prepare(), options_);
}

SmtpSubmission CdoMessage::prepare() const {
    const CdoFields& fields = Configuration.Fields;
    if (integerField(fields, QStringLiteral("sendusing"), 0) != kSendUsingNetwork)
        badConfiguration(QStringLiteral("sendusing must be 2 (SMTP over the network)"));

    SmtpSubmission submission;
    submission.host = fields.committed(QStringLiteral("smtpserver")).toString();
    if (submission.host.trimmed().isEmpty()) badConfiguration(QStringLiteral("no smtpserver"));
    submission.port = integerField(fields, QStringLiteral("smtpserverport"), 25);
    if (submission.port < 1 || submission.port > 65535)
        badConfiguration(QStringLiteral("smtpserverport out of range"));

    const int authenticate =
        integerField(fields, QStringLiteral("smtpauthenticate"), kAuthenticateNone);
    if (authenticate != kAuthenticateNone && authenticate != kAuthenticateBasic)
        badConfiguration(QStringLiteral("only basic authentication (1) is supported"));
    submission.authenticate = authenticate == kAuthenticateBasic;
    submission.login = fields.committed(QStringLiteral("sendusername")).toString();
    submission.password = fields.committed(QStringLiteral("sendpassword")).toString();

    const MailAddress sender = parseMailAddress(From, "From");
    submission.envelopeFrom = sender.address;
    submission.envelopeTo = parseMailAddress(To, "To").address;
    submission.message = composeMail({From, To, Subject, Textbody}, freshStamp(sender));
    return submission;
}

}  // namespace zelvo::sms
