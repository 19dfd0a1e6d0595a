#pragma once

#include <QString>
#include <QVariant>
#include <map>

#include "sms/mail_error.h"
#include "sms/smtp_submission.h"
#include "sms/transport_options.h"

namespace zelvo::sms {

// Namespace of the configuration field names; the short names are appended to it.
inline constexpr const char* kCdoConfigNamespace =
    "http://schemas.microsoft.com/cdo/configuration/";

// Values of the configuration fields sendusing and smtpauthenticate.
inline constexpr int kSendUsingNetwork = 2;
inline constexpr int kAuthenticateNone = 0;
inline constexpr int kAuthenticateBasic = 1;

// The configuration fields of a mail object: values are stored with Item() and only take
// effect for send() after Update().
class CdoFields {
public:
    QVariant& Item(const QString& fullName);
    void Update();
    // The committed value of a field given by its short name; invalid when unset.
    QVariant committed(const QString& shortName) const;

private:
    std::map<QString, QVariant> pending_;
    std::map<QString, QVariant> committed_;
};

struct CdoConfiguration {
    CdoFields Fields;
};

// The program's mail object: message fields plus configuration, submitted by send().
class CdoMessage {
public:
    explicit CdoMessage(SubmitMailFunction submit, TransportOptions options = {});

    QString From;
    QString To;
    QString Subject;
    QString Textbody;
    CdoConfiguration Configuration;

    // Submits the message over SMTP with the committed configuration. Returns only when the
    // server has accepted the data; throws MailError otherwise. Safe to call off the UI thread.
    void send();

    // What send() would submit, checked and composed, without connecting; throws MailError
    // for what send() would refuse before connecting.
    SmtpSubmission prepare() const;

private:
    SubmitMailFunction submit_;
    TransportOptions options_;
};

}  // namespace zelvo::sms
