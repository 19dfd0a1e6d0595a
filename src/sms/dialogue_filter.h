#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace zelvo::sms {

// Server text without control or format characters: a terminal would act on them.
QString presentable(const QByteArray& serverText);

// The SMTP dialogue as it may be shown and logged, in the failure report and under --verbose
// alike: never the credentials, should a server echo them back in clear or as the base64 of a
// login exchange, and never what we send during the login.
class DialogueFilter {
public:
    DialogueFilter(const QString& login, const QString& password);

    // text with the password, its base64 and the base64 of a PLAIN login made "***". Masked as
    // sent or received, before anything is trimmed or cut: a password may begin or end with a
    // blank or hold a line break.
    QByteArray withoutSecrets(QByteArray text) const;

    // The lines to show of one piece of the dialogue (sent: ours, else the server's), masked,
    // trimmed and presentable. The AUTH line keeps only its mechanism, and what we send from it
    // until the server accepts or refuses the login is "****".
    QList<QByteArray> shownLines(bool sent, const QByteArray& text);

private:
    QByteArray login_;
    QByteArray password_;
    bool inLogin_ = false;  // between our AUTH and the server's verdict on it
};

}  // namespace zelvo::sms
