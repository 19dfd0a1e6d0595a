#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace zelvo::sms {

// What the gateway mail says.
struct MailContent {
    QString from;  // "addr" or "Display <addr>"
    QString to;    // same forms
    QString subject;
    QString textBody;  // any line ends; sent as CRLF
};

// The parts of a mail that change on every submission, passed in so composing stays pure.
struct MailStamp {
    QDateTime date;
    QByteArray messageId;  // with angle brackets
};

// An address field split into its parts.
struct MailAddress {
    QString display;     // may be empty
    QByteArray address;  // the bare address, ASCII
};

// Splits "Display <addr>" or "addr"; throws MailError for an empty or malformed address.
MailAddress parseMailAddress(const QString& field, const char* what);

// RFC 5322 date, always with English names.
QByteArray formatMailDate(const QDateTime& date);

// Header field "Name: value" folded to CRLF lines; text that is not plain printable ASCII
// becomes RFC 2047 encoded words, each at most 75 characters, never splitting a character.
QByteArray encodeHeaderField(const QByteArray& name, const QString& text);

// The complete message: headers, blank line and the base64 body, every line ending in CRLF.
// Throws MailError for line breaks in a header value or a bad address.
QByteArray composeMail(const MailContent& content, const MailStamp& stamp);

// A stamp for now, with a unique Message-ID under the sender's domain.
MailStamp freshStamp(const MailAddress& sender);

}  // namespace zelvo::sms
