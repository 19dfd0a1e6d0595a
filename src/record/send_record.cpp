#include "record/send_record.h"

#include <QDir>
#include <QFileInfo>

#include "files/user_file.h"
#include "sms/failure_report.h"
#include "text/visible_text.h"

namespace zelvo::record {

namespace {

QString routeName(const QString& host, int port, sms::TlsMode tls) {
    return QStringLiteral("%1:%2 %3").arg(host).arg(port).arg(sms::tlsModeName(tls));
}

SendRecord recordOf(const sms::GatewaySubmission& submission) {
    return {QDateTime::currentDateTime(), submission.subject, submission.text, {}, {}};
}

}  // namespace

SendRecord sentRecord(const sms::GatewaySubmission& submission, sms::TlsMode took) {
    SendRecord record = recordOf(submission);
    record.outcome = QStringLiteral("已发送");
    for (const sms::SmtpRoute& route : submission.routes) {
        if (route.tls == took) record.route = routeName(route.host, route.port, route.tls);
    }
    return record;
}

SendRecord failedRecord(const sms::GatewaySubmission& submission, const sms::MailError& error) {
    SendRecord record = recordOf(submission);
    record.outcome = sms::failureLine(error);
    const sms::FailurePlace& place = error.place();
    if (!place.host.isEmpty()) record.route = routeName(place.host, place.port, place.tls);
    return record;
}

QString sendRecordPath(const QString& settingsFile) {
    return QFileInfo(settingsFile).dir().filePath(QStringLiteral("sent.log"));
}

QByteArray sendRecordLine(const SendRecord& record) {
    const QStringList fields = {record.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                record.numbers, record.message, record.outcome,
                                record.route.isEmpty() ? QStringLiteral("-") : record.route};
    QStringList shown;
    for (const QString& field : fields) shown << text::visibleText(field);
    return shown.join(u'\t').toUtf8() + "\r\n";
}

QString appendSendRecord(const QString& path, const SendRecord& record, qint64 limitBytes,
                         const std::function<void()>& atLocked) {
    files::LogOptions options;
    options.limitBytes = limitBytes;
    options.atLocked = atLocked;
#ifdef Q_OS_WIN
    options.start = "\xEF\xBB\xBF";
#endif
    const QString error = files::appendToLog(path, sendRecordLine(record), options);
    return error.isEmpty() ? QString() : QStringLiteral("发送记录没有写入: ") + error;
}

}  // namespace zelvo::record
