// The gateway mail: fields with CR, LF or NUL in a header, or a malformed address, are refused
// with MailError; any others give a message of plain 7-bit text with CRLF lines of legal length,
// whose Date, addresses, display name, Subject and body read back as given, and whose plain
// ASCII Subject stands in it verbatim (an empty one as a field with no value).
#include <QDateTime>
#include <QStringDecoder>
#include <QTimeZone>
#include <algorithm>

#include "fuzz_support.h"
#include "sms/mail_composer.h"
#include "sms/mail_error.h"

using namespace zelvo::sms;
using zelvo::fuzz::consumeText;
using zelvo::fuzz::withoutLoneSurrogates;

namespace {

// The value of the first header field `name`, unfolded, as written.
QByteArray headerValue(const QByteArray& headers, const QByteArray& name) {
    QByteArray unfolded = headers;
    unfolded.replace("\r\n ", " ");
    for (const QByteArray& line : unfolded.split('\n')) {
        if (line.startsWith(name + ':')) return line.mid(name.size() + 1).trimmed();
    }
    FUZZ_CHECK(!"header field missing");
    return {};
}

bool isValidUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    (void)decoder.decode(bytes);
    return !decoder.hasError();
}

// Verbatim text, or encoded words only; each word holds whole UTF-8 characters.
QString readHeaderText(const QByteArray& value) {
    static const QByteArray start = "=?UTF-8?B?";
    if (!value.startsWith(start)) return QString::fromLatin1(value);
    QByteArray utf8;
    for (const QByteArray& word : value.split(' ')) {
        FUZZ_CHECK(word.size() <= 75 && word.startsWith(start) && word.endsWith("?="));
        const QByteArray part = QByteArray::fromBase64(word.mid(start.size(), word.size() - 12));
        FUZZ_CHECK(isValidUtf8(part));
        utf8 += part;
    }
    return QString::fromUtf8(utf8);
}

bool hasLineBreakOrNul(const QString& text) {
    return text.contains(u'\r') || text.contains(u'\n') || text.contains(QChar(0));
}

bool isWellFormedAddress(const QByteArray& address) {
    return !address.isEmpty() && std::all_of(address.begin(), address.end(), [](char c) {
        return c > ' ' && c < 0x7f && !QByteArray("<>,;").contains(c);
    });
}

bool parses(const QString& field) {
    try {
        return isWellFormedAddress(parseMailAddress(field, "field").address);
    } catch (const MailError&) {
        return false;
    }
}

// The display name before " <address>": a quoted string or encoded words.
QString displayOf(const QByteArray& value, const QByteArray& address) {
    const QByteArray display = value.left(value.size() - address.size() - 3);
    if (!display.startsWith('"')) return readHeaderText(display);
    FUZZ_CHECK(display.size() >= 2 && display.endsWith('"'));
    QByteArray unquoted;
    for (qsizetype i = 1; i + 1 < display.size(); ++i) {
        if (display[i] == '\\') ++i;
        unquoted += display[i];
    }
    return QString::fromLatin1(unquoted);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    MailContent content;
    content.from = consumeText(in, 80);
    content.to = consumeText(in, 80);
    content.subject = consumeText(in, 400);
    // Any moment from 1900 to 9999 at any offset a zone can have today, in whole minutes as a
    // Date header gives it.
    const qint64 seconds = in.ConsumeIntegralInRange<qint64>(-2208988800LL, 253402300799LL);
    const int offset = in.ConsumeIntegralInRange<int>(-14 * 3600, 14 * 3600) / 60 * 60;
    MailStamp stamp{QDateTime::fromSecsSinceEpoch(seconds, QTimeZone(offset)),
                    '<' + QByteArray::number(seconds) + "@fuzz>"};
    if (in.ConsumeBool()) {
        try {
            stamp = freshStamp(parseMailAddress(content.from, "From"));
        } catch (const MailError&) {
        }
    }
    content.textBody = consumeText(in, 600);

    const bool breaks = hasLineBreakOrNul(content.from) || hasLineBreakOrNul(content.to) ||
                        hasLineBreakOrNul(content.subject);
    const bool stampValid = stamp.date.isValid() && stamp.messageId.startsWith('<') &&
                            stamp.messageId.endsWith('>') &&
                            std::all_of(stamp.messageId.begin(), stamp.messageId.end(),
                                        [](char c) { return c > ' ' && c < 0x7f; });
    QByteArray mail;
    try {
        mail = composeMail(content, stamp);
    } catch (const MailError&) {
        // Refused only for a reason: a line break or NUL, a bad address or a bad stamp.
        FUZZ_CHECK(breaks || !parses(content.from) || !parses(content.to) || !stampValid);
        return 0;
    }
    FUZZ_CHECK(!breaks);

    FUZZ_CHECK(mail.endsWith("\r\n"));
    for (qsizetype i = 0; i < mail.size(); ++i) {
        const auto c = static_cast<uchar>(mail[i]);
        FUZZ_CHECK(c < 0x80 && c != 0);
        if (c == '\n') FUZZ_CHECK(i > 0 && mail[i - 1] == '\r');
        if (c == '\r') FUZZ_CHECK(i + 1 < mail.size() && mail[i + 1] == '\n');
    }
    for (const QByteArray& line : mail.split('\n')) FUZZ_CHECK(line.size() <= 999);

    const qsizetype blank = mail.indexOf("\r\n\r\n");
    FUZZ_CHECK(blank > 0);
    const QByteArray headers = mail.left(blank + 2);
    for (const QByteArray& line : headers.split('\n')) {
        // Every line opens a field or continues one; a header never ends early.
        FUZZ_CHECK(line.isEmpty() || line.startsWith(' ') || line.contains(':'));
    }
    FUZZ_CHECK(readHeaderText(headerValue(headers, "Subject")) ==
               withoutLoneSurrogates(content.subject, u'?'));
    const bool plainAscii = std::all_of(content.subject.begin(), content.subject.end(),
                                        [](QChar c) { return c >= u' ' && c <= u'~'; });
    if (content.subject.isEmpty()) {
        FUZZ_CHECK(headers.contains("\r\nSubject:\r\n"));
    } else if (plainAscii && !content.subject.contains(QLatin1String("=?")) &&
               !content.subject.startsWith(u' ') && !content.subject.endsWith(u' ')) {
        FUZZ_CHECK(headers.contains("\r\nSubject: " + content.subject.toLatin1() + "\r\n"));
    }
    const QDateTime date =
        QDateTime::fromString(QString::fromLatin1(headerValue(headers, "Date")), Qt::RFC2822Date);
    FUZZ_CHECK(date.toSecsSinceEpoch() == stamp.date.toSecsSinceEpoch() &&
               date.offsetFromUtc() == stamp.date.offsetFromUtc());
    for (const char* field : {"From", "To"}) {
        const QByteArray value = headerValue(headers, field);
        const MailAddress parsed =
            parseMailAddress(field == QByteArray("From") ? content.from : content.to, field);
        FUZZ_CHECK(isWellFormedAddress(parsed.address));
        if (parsed.display.isEmpty()) {
            FUZZ_CHECK(value == parsed.address);
        } else {
            FUZZ_CHECK(value.endsWith(" <" + parsed.address + '>'));
            FUZZ_CHECK(displayOf(value, parsed.address) ==
                       withoutLoneSurrogates(parsed.display, u'?'));
        }
    }

    QString body = withoutLoneSurrogates(content.textBody, u'?');
    body.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    body.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    const QByteArray encoded = mail.mid(blank + 4);
    for (const QByteArray& line : encoded.split('\n')) FUZZ_CHECK(line.size() <= 77);
    FUZZ_CHECK(QByteArray::fromBase64(encoded) == body.toUtf8());
    return 0;
}
