#include "sms/dialogue_filter.h"

namespace zelvo::sms {

QString presentable(const QByteArray& serverText) {
    QString text = QString::fromUtf8(serverText);
    for (QChar& c : text)
        if (!c.isPrint()) c = QChar::ReplacementCharacter;
    return text;
}

DialogueFilter::DialogueFilter(const QString& login, const QString& password)
    : login_(login.toUtf8()), password_(password.toUtf8()) {}

QByteArray DialogueFilter::withoutSecrets(QByteArray text) const {
    if (password_.isEmpty()) return text;
    // The longest first: the password's base64 may stand inside the login's.
    const QByteArray secrets[] = {('\0' + login_ + '\0' + password_).toBase64(),
                                  password_.toBase64(), password_};
    for (const QByteArray& secret : secrets) text.replace(secret, "***");
    return text;
}

QList<QByteArray> DialogueFilter::shownLines(bool sent, const QByteArray& text) {
    QList<QByteArray> shown;
    for (const QByteArray& raw : withoutSecrets(text).split('\n')) {
        QByteArray line = raw.trimmed();
        if (line.isEmpty()) continue;
        if (sent) {
            const QList<QByteArray> words = line.split(' ');
            if (words.first().toUpper() == "AUTH") {
                inLogin_ = true;
                if (words.size() > 2) line = words[0] + ' ' + words[1] + " ****";
            } else if (inLogin_) {
                line = "****";
            }
        } else if (!line.startsWith("334")) {
            // 334 asks for the next piece of the login; any other reply ends it.
            inLogin_ = false;
        }
        shown.append(presentable(line).toUtf8());
    }
    return shown;
}

}  // namespace zelvo::sms
