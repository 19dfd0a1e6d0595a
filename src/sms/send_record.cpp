#include "sms/send_record.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>

#include "settings/replace_file.h"
#include "settings/settings_file.h"
#include "sms/failure_report.h"

namespace zelvo::sms {

namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

QString oneLine(QString text) {
    text.replace(u'\\', QStringLiteral("\\\\"));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(u'\n', QStringLiteral("\\n"));
    text.replace(u'\t', QStringLiteral("\\t"));
    return text;
}

QString routeName(const QString& host, int port, TlsMode tls) {
    return QStringLiteral("%1:%2 %3").arg(host).arg(port).arg(tlsModeName(tls));
}

SendRecord recordOf(const GatewaySubmission& submission) {
    return {QDateTime::currentDateTime(), submission.subject, submission.text, {}, {}};
}

}  // namespace

SendRecord sentRecord(const GatewaySubmission& submission, TlsMode took) {
    SendRecord record = recordOf(submission);
    record.outcome = QStringLiteral("已发送");
    for (const SmtpServer& route : submission.routes) {
        if (route.tls == took) record.route = routeName(route.host, route.port, route.tls);
    }
    return record;
}

SendRecord failedRecord(const GatewaySubmission& submission, const MailError& error) {
    SendRecord record = recordOf(submission);
    record.outcome = failureLine(error);
    const FailurePlace& place = error.place();
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
    for (const QString& field : fields) shown << oneLine(field);
    return shown.join(u'\t').toUtf8() + "\r\n";
}

QString appendSendRecord(const QString& path, const SendRecord& record, qint64 limitBytes) {
    const QString shown = QDir::toNativeSeparators(path);
    const QByteArray line = sendRecordLine(record);
    const QFileInfo info(path);
    // Opening a FIFO or a device would wait or write where nobody reads.
    if (info.exists() && (!info.isFile() || info.isSymLink()))
        return QStringLiteral("%1 不是普通文件, 发送记录没有写入。").arg(shown);
    // A new record, and one whose older half goes, is written as set.ini is: for its owner
    // alone, on Windows through an access list for the user where its folder is shared.
    QFile file(path);
    std::optional<QByteArray> whole;
    if (!info.exists()) {
        settings::makePrivateFolders(path);
        whole = line;
    } else if (info.size() + line.size() > limitBytes) {
        if (!file.open(QIODevice::ReadOnly))
            return QStringLiteral("无法读取发送记录 %1: %2").arg(shown, file.errorString());
        QByteArray kept = file.readAll();
        file.close();
        // The newer half, from the start of a line.
        const qsizetype cut =
            kept.indexOf('\n', std::max<qsizetype>(0, kept.size() - limitBytes / 2 - 1));
        kept.remove(0, cut < 0 ? kept.size() : cut + 1);
        whole = kept + line;
    }
    if (whole) {
        const QString error = settings::replaceFile(path, *whole);
        return error.isEmpty() ? QString() : QStringLiteral("发送记录没有写入: ") + error;
    }
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return QStringLiteral("无法打开发送记录 %1: %2").arg(shown, file.errorString());
    // A record made by hand or copied in may be readable by others; it names who got what.
    if (file.permissions() & (QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                              QFileDevice::ReadOther | QFileDevice::WriteOther))
        file.setPermissions(kOwnerOnly);
    if (file.write(line) != line.size() || !file.flush())
        return QStringLiteral("无法写入发送记录 %1: %2").arg(shown, file.errorString());
    return {};
}

}  // namespace zelvo::sms
