#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include "sms/gateway_submission.h"
#include "sms/mail_error.h"

namespace zelvo::sms {

// One send as the record of sends keeps it. Never the account's password.
struct SendRecord {
    QDateTime time;   // local time of the send
    QString numbers;  // the recipients, joined by ","
    QString message;
    QString outcome;  // "已发送", or the cause of the failure on one line
    QString route;    // the server, port and encryption that took the mail or failed last
};

// What a submission that the server took, over the route with `took` encryption, leaves in the
// record; and one that failed.
SendRecord sentRecord(const GatewaySubmission& submission, TlsMode took);
SendRecord failedRecord(const GatewaySubmission& submission, const MailError& error);

// The record of both programs' sends: sent.log in the folder of the settings file they use.
QString sendRecordPath(const QString& settingsFile);

// Before a line would take the record past this size, its older half goes.
inline constexpr qint64 kSendRecordLimit = 1024 * 1024;

// The line of one send, in UTF-8: time, numbers, message, outcome and route, separated by tabs
// and ended by CR LF, so that Windows' Notepad shows it too. A tab, a line break or a backslash
// in a field is written as \t, \n or \\, which keeps every send on one line.
QByteArray sendRecordLine(const SendRecord& record);

// Adds the line of the send to the record at path, creating it and its folder for the owner
// alone: the record names who was sent what. Past limitBytes the older half of the lines goes
// first, and the record is replaced whole as set.ini is. Something other than a regular file at
// path is left alone. Returns why the record could not be written, in Chinese, or an empty
// string.
QString appendSendRecord(const QString& path, const SendRecord& record,
                         qint64 limitBytes = kSendRecordLimit);

}  // namespace zelvo::sms
