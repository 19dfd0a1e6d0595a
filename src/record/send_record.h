#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>

#include "sms/gateway_submission.h"
#include "sms/mail_error.h"

namespace zelvo::record {

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
SendRecord sentRecord(const sms::GatewaySubmission& submission, sms::TlsMode took);
SendRecord failedRecord(const sms::GatewaySubmission& submission, const sms::MailError& error);

// The record of both programs' sends: sent.log in the folder of the settings file they use.
QString sendRecordPath(const QString& settingsFile);

// Before a line would take the record past this size, its older half goes.
inline constexpr qint64 kSendRecordLimit = 1024 * 1024;

// The line of one send, in UTF-8: time, numbers, message, outcome and route, separated by tabs
// and ended by CR LF, so that Windows' Notepad shows it too. Every send stays on one line and
// shows as what it is: a tab, a line break and a backslash in a field are written as \t, \n and
// \\; other control characters, line and paragraph separators and the marks that turn text
// around (bidi controls) as \uXXXX.
QByteArray sendRecordLine(const SendRecord& record);

// Adds the line of the send to the record at path, as files::appendToLog() adds a line: whole or
// not at all, one writer at a time across both programs, the older half going past limitBytes,
// a new record for its owner alone (starting, on Windows, with a byte order mark, so that
// Notepad reads it as UTF-8). Returns why the record could not be written, in Chinese, or an
// empty string.
QString appendSendRecord(const QString& path, const SendRecord& record,
                         qint64 limitBytes = kSendRecordLimit,
                         const std::function<void()>& atLocked = {});

}  // namespace zelvo::record
