#include "support/smtp_test_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <stdexcept>

namespace zelvo::testing {
namespace {

constexpr int kStartLimitMs = 30'000;  // generous: a loaded CI machine starts Python slowly

QByteArray headerBlock(const QByteArray& content) {
    const qsizetype end = content.indexOf("\r\n\r\n");
    return end < 0 ? content : content.left(end + 2);
}

QByteArray bodyOf(const QByteArray& content) {
    const qsizetype end = content.indexOf("\r\n\r\n");
    return end < 0 ? QByteArray() : content.mid(end + 4);
}

QByteArray decodeQ(QByteArray text) {
    text.replace('_', ' ');
    return QByteArray::fromPercentEncoding(text, '=');
}

// RFC 2047: decodes =?charset?B|Q?...?= words; blanks between two adjacent words vanish.
QString decodeWords(const QByteArray& value) {
    static const QRegularExpression word(QStringLiteral(R"(=\?([^?]+)\?([BbQq])\?([^?]*)\?=)"));
    QByteArray pendingBytes;
    QString result;
    qsizetype pos = 0;
    auto it = word.globalMatch(QString::fromLatin1(value));
    while (it.hasNext()) {
        const auto match = it.next();
        const QByteArray gap = value.mid(pos, match.capturedStart() - pos);
        if (!gap.trimmed().isEmpty() || pendingBytes.isEmpty()) {
            result += QString::fromUtf8(pendingBytes) + QString::fromUtf8(gap);
            pendingBytes.clear();
        }
        const QByteArray payload = match.captured(3).toLatin1();
        pendingBytes += match.captured(2).toUpper() == QLatin1String("B")
                            ? QByteArray::fromBase64(payload)
                            : decodeQ(payload);
        pos = match.capturedEnd();
    }
    return result + QString::fromUtf8(pendingBytes) + QString::fromUtf8(value.mid(pos));
}

QString modeName(SmtpTestServer::Mode mode) {
    switch (mode) {
        case SmtpTestServer::Mode::Accept:
            return QStringLiteral("accept");
        case SmtpTestServer::Mode::RejectLogin:
            return QStringLiteral("reject-login");
        case SmtpTestServer::Mode::RejectRecipient:
            return QStringLiteral("reject-rcpt");
        case SmtpTestServer::Mode::RejectData:
            return QStringLiteral("reject-data");
        case SmtpTestServer::Mode::NeverAnswer:
            return QStringLiteral("never-answer");
        case SmtpTestServer::Mode::DropDuringData:
            return QStringLiteral("drop-data");
    }
    return {};
}

void makeSelfSignedCertificate(const QString& certFile, const QString& keyFile) {
    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(
        QStringLiteral("openssl"),
        {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
         "-days", "2", "-subj", "/CN=127.0.0.1", "-addext",
         "subjectAltName=IP:127.0.0.1,DNS:localhost", "-keyout", keyFile, "-out", certFile});
    if (!openssl.waitForFinished(kStartLimitMs) || openssl.exitCode() != 0)
        throw std::runtime_error("openssl req failed: " + openssl.readAll().toStdString());
}

}  // namespace

QString ReceivedMail::header(const QByteArray& name) const {
    QByteArray block = headerBlock(content);
    block.replace("\r\n ", " ").replace("\r\n\t", "\t");  // unfold
    for (const QByteArray& line : block.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).compare(name, Qt::CaseInsensitive) == 0)
            return decodeWords(line.mid(colon + 1).trimmed());
    }
    return {};
}

QString ReceivedMail::textBody() const {
    const QByteArray body = bodyOf(content);
    if (header("Content-Transfer-Encoding").compare(QLatin1String("base64"), Qt::CaseInsensitive) ==
        0)
        return QString::fromUtf8(QByteArray::fromBase64(body));
    return QString::fromUtf8(body);
}

SmtpTestServer::SmtpTestServer(Options options) : options_(std::move(options)) {
    if (!dir_.isValid()) throw std::runtime_error("no temporary folder for the SMTP server");
    const QString events = dir_.filePath(QStringLiteral("events.jsonl"));
    QFile(events).open(QIODevice::WriteOnly);

    QStringList arguments = {QStringLiteral(ZELVO_TEST_SOURCE_DIR "/support/smtp_server.py"),
                             "--events",
                             events,
                             "--mode",
                             modeName(options_.mode),
                             "--login",
                             options_.login,
                             "--password",
                             options_.password};
    if (!options_.requireLogin) arguments << "--no-auth-required";
    if (options_.startTls) {
        caFile_ = dir_.filePath(QStringLiteral("cert.pem"));
        const QString key = dir_.filePath(QStringLiteral("key.pem"));
        makeSelfSignedCertificate(caFile_, key);
        arguments << "--cert" << caFile_ << "--key" << key;
    }

    process_ = std::make_unique<QProcess>();
    // Stderr goes straight to the test's own: a pipe nobody reads would fill and stall the server.
    process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_->start(QStringLiteral(ZELVO_TEST_PYTHON), arguments);
    const QDeadlineTimer deadline(kStartLimitMs);
    while (!process_->canReadLine()) {
        if (deadline.hasExpired() || process_->state() == QProcess::NotRunning)
            throw std::runtime_error("the SMTP test server did not start");
        process_->waitForReadyRead(static_cast<int>(deadline.remainingTime()));
    }
    const QByteArray line = process_->readLine().trimmed();
    port_ = line.startsWith("READY ") ? line.mid(6).toInt() : 0;
    if (port_ <= 0)
        throw std::runtime_error("unexpected start line from the SMTP test server: " +
                                 line.toStdString());
}

SmtpTestServer::~SmtpTestServer() {
    // The server runs until its input closes; killing is only the fallback.
    process_->closeWriteChannel();
    if (!process_->waitForFinished(10'000)) {
        process_->kill();
        process_->waitForFinished();
    }
}

QList<QJsonObject> SmtpTestServer::records() const {
    QFile file(dir_.filePath(QStringLiteral("events.jsonl")));
    QList<QJsonObject> result;
    if (!file.open(QIODevice::ReadOnly)) return result;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (!line.trimmed().isEmpty()) result << QJsonDocument::fromJson(line).object();
    }
    return result;
}

std::vector<ReceivedMail> SmtpTestServer::received() const {
    std::vector<ReceivedMail> mails;
    for (const QJsonObject& record : records()) {
        if (record["kind"].toString() != QLatin1String("mail")) continue;
        ReceivedMail mail;
        mail.mailFrom = record["mail_from"].toString();
        for (const auto& rcpt : record["rcpt_tos"].toArray()) mail.rcptTos << rcpt.toString();
        mail.authenticated = record["authenticated"].toBool();
        mail.login = record["login"].toString();
        mail.password = record["password"].toString();
        mail.tlsAtAuth = record["tls_at_auth"].toBool();
        mail.tls = record["tls"].toBool();
        mail.content = QByteArray::fromBase64(record["content"].toString().toLatin1());
        mails.push_back(mail);
    }
    return mails;
}

std::vector<AuthAttempt> SmtpTestServer::authAttempts() const {
    std::vector<AuthAttempt> attempts;
    for (const QJsonObject& record : records()) {
        const QString kind = record["kind"].toString();
        if (kind == QLatin1String("auth-command")) {
            AuthAttempt attempt;
            attempt.tls = record["tls"].toBool();
            attempt.mechanism = record["mechanism"].toString();
            attempt.initialResponse = record["initial_response"].toBool();
            attempts.push_back(attempt);
        } else if (kind == QLatin1String("auth") && !attempts.empty()) {
            AuthAttempt& attempt = attempts.back();
            attempt.reachedCheck = true;
            attempt.login = record["login"].toString();
            attempt.password = record["password"].toString();
            attempt.accepted = record["accepted"].toBool();
        }
    }
    return attempts;
}

int SmtpTestServer::unusedPort() {
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    const bool bound = probe >= 0 &&
                       ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                       ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    if (probe >= 0) ::close(probe);
    if (!bound) throw std::runtime_error("cannot find a free port");
    return ntohs(address.sin_port);
}

}  // namespace zelvo::testing
