// The gateway mail: any fields either are refused with MailError or give a message that is
// plain 7-bit text with CRLF lines of legal length, whose Subject and body read back as given.
#include <QDateTime>
#include <QStringDecoder>
#include <QTimeZone>

#include "fuzz_support.h"
#include "sms/cdo_message.h"
#include "sms/mail_composer.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    MailContent content;
    content.from = consumeText(in, 80);
    content.to = consumeText(in, 80);
    content.subject = consumeText(in, 400);
    // Any moment from 1900 to 9999 at any offset a zone can have.
    const qint64 seconds = in.ConsumeIntegralInRange<qint64>(-2208988800LL, 253402300799LL);
    const int offset = in.ConsumeIntegralInRange<int>(-14 * 3600, 14 * 3600);
    MailStamp stamp{QDateTime::fromSecsSinceEpoch(seconds, QTimeZone(offset)),
                    QByteArray::fromStdString(in.ConsumeRandomLengthString(40))};
    if (in.ConsumeBool()) {
        try {
            stamp = freshStamp(parseMailAddress(content.from, "From"));
        } catch (const MailError&) {
        }
    }
    content.textBody = consumeText(in, 600);

    QByteArray mail;
    try {
        mail = composeMail(content, stamp);
    } catch (const MailError&) {
        return 0;  // refusing is always allowed; crashing or writing a bad message is not
    }

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
    for (const char* field : {"From", "To"}) {
        const QByteArray value = headerValue(headers, field);
        const QByteArray address =
            parseMailAddress(field == QByteArray("From") ? content.from : content.to, field)
                .address;
        FUZZ_CHECK(value == address || value.endsWith('<' + address + '>'));
    }

    QString body = withoutLoneSurrogates(content.textBody, u'?');
    body.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    body.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    const QByteArray encoded = mail.mid(blank + 4);
    for (const QByteArray& line : encoded.split('\n')) FUZZ_CHECK(line.size() <= 77);
    FUZZ_CHECK(QByteArray::fromBase64(encoded) == body.toUtf8());
    return 0;
}
