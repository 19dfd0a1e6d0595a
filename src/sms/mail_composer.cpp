#include "sms/mail_composer.h"

#include <QUuid>
#include <algorithm>

#include "sms/mail_error.h"
#include "sms/single_line.h"

namespace zelvo::sms {
namespace {

constexpr int kFoldAt = 78;       // recommended line length of a header
constexpr int kHardLimit = 998;   // longest line allowed at all
constexpr int kWordMax = 75;      // longest encoded word
constexpr int kBodyLineMax = 76;  // base64 characters per body line
constexpr int kMaxAddressLength = 254;
const QByteArray kWordStart = "=?UTF-8?B?";
const QByteArray kWordEnd = "?=";
const QByteArray kCrlf = "\r\n";

[[noreturn]] void fail(const QString& english, const QString& chinese) {
    throw MailError(QStringLiteral("%1 / %2").arg(chinese, english), FailureCause::InvalidInput);
}

bool isPlainPrintable(const QString& text) {
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0x20 && c.unicode() <= 0x7e; });
}

// Text that can stand in a header as it is: printable ASCII that a reader would not take for an
// encoded word and that keeps its leading and trailing blanks.
bool isVerbatimHeaderText(const QString& text) {
    return isPlainPrintable(text) && !text.contains(QLatin1String("=?")) &&
           !text.startsWith(QLatin1Char(' ')) && !text.endsWith(QLatin1Char(' '));
}

// One header field being written, folding between tokens so lines stay near 78 characters.
class HeaderField {
public:
    explicit HeaderField(const QByteArray& name) : out_(name + ':'), column_(out_.size()) {}

    void addToken(const QByteArray& token) {
        if (column_ + 1 + token.size() > kFoldAt && column_ > 1 && !firstToken_) {
            out_ += kCrlf;
            column_ = 0;
        }
        out_ += ' ';
        out_ += token;
        column_ += 1 + static_cast<int>(token.size());
        firstToken_ = false;
    }

    // Encoded words for `text`, cut at character boundaries, sized to the room left on each line.
    void addEncodedWords(const QString& text) {
        const QByteArray utf8 = text.toUtf8();
        qsizetype pos = 0;
        while (pos < utf8.size()) {
            const int overhead = static_cast<int>(kWordStart.size() + kWordEnd.size());
            int room = kFoldAt - column_ - 1 - overhead;
            if (room < 8 && column_ > 1) {  // too little left: start the word on a new line
                out_ += kCrlf;
                column_ = 0;
                room = kFoldAt - 1 - overhead;
            }
            const int base64Chars = std::min(kWordMax - overhead, room) / 4 * 4;
            qsizetype take = std::min<qsizetype>(base64Chars / 4 * 3, utf8.size() - pos);
            // Never end a word inside a multi-byte sequence.
            while (pos + take < utf8.size() &&
                   (static_cast<uchar>(utf8[pos + take]) & 0xc0) == 0x80)
                --take;
            const QByteArray word = kWordStart + utf8.mid(pos, take).toBase64() + kWordEnd;
            out_ += ' ';
            out_ += word;
            column_ += 1 + static_cast<int>(word.size());
            firstToken_ = false;
            pos += take;
        }
    }

    QByteArray finish() const { return out_ + kCrlf; }

private:
    QByteArray out_;
    int column_;
    bool firstToken_ = true;
};

QByteArray quotedString(const QString& text) {
    QByteArray quoted = text.toLatin1();
    quoted.replace('\\', "\\\\").replace('"', "\\\"");
    return '"' + quoted + '"';
}

QByteArray addressField(const QByteArray& name, const QString& value, const char* what) {
    const MailAddress parsed = parseMailAddress(value, what);
    if (parsed.display.isEmpty()) return name + ": " + parsed.address + kCrlf;
    HeaderField field(name);
    if (isPlainPrintable(parsed.display) && parsed.display.size() < kHardLimit / 2)
        field.addToken(quotedString(parsed.display));
    else
        field.addEncodedWords(parsed.display);
    field.addToken('<' + parsed.address + '>');
    return field.finish();
}

QByteArray base64Body(const QString& text) {
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    normalised.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    const QByteArray encoded = normalised.toUtf8().toBase64();
    QByteArray body;
    for (qsizetype pos = 0; pos < encoded.size(); pos += kBodyLineMax)
        body += encoded.mid(pos, kBodyLineMax) + kCrlf;
    return body;
}

bool isDomainText(const QByteArray& text) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '.' || c == '-';
    });
}

}  // namespace

MailAddress parseMailAddress(const QString& field, const char* what) {
    requireSingleLine(field, what);
    const QString trimmed = field.trimmed();
    MailAddress result;
    QString address = trimmed;
    const qsizetype open = trimmed.indexOf(QLatin1Char('<'));
    if (open >= 0) {
        if (!trimmed.endsWith(QLatin1Char('>')) || trimmed.count(QLatin1Char('<')) != 1 ||
            trimmed.count(QLatin1Char('>')) != 1)
            fail(QStringLiteral("%1 is not a valid address").arg(QLatin1String(what)),
                 QStringLiteral("%1 地址格式错误").arg(QLatin1String(what)));
        address = trimmed.mid(open + 1, trimmed.size() - open - 2).trimmed();
        result.display = trimmed.left(open).trimmed();
        if (result.display.size() >= 2 && result.display.startsWith(QLatin1Char('"')) &&
            result.display.endsWith(QLatin1Char('"'))) {
            result.display = result.display.mid(1, result.display.size() - 2);
            result.display.replace(QLatin1String("\\\""), QLatin1String("\""));
            result.display.replace(QLatin1String("\\\\"), QLatin1String("\\"));
        }
    }
    const bool valid =
        !address.isEmpty() && address.size() <= kMaxAddressLength && isPlainPrintable(address) &&
        std::none_of(address.begin(), address.end(), [](QChar c) {
            return c == QLatin1Char(' ') || c == QLatin1Char('<') || c == QLatin1Char('>') ||
                   c == QLatin1Char(',') || c == QLatin1Char(';');
        });
    if (!valid)
        fail(QStringLiteral("%1 is not a valid address: \"%2\"").arg(QLatin1String(what), address),
             QStringLiteral("%1 地址格式错误").arg(QLatin1String(what)));
    result.address = address.toLatin1();
    return result;
}

QByteArray formatMailDate(const QDateTime& date) {
    static const char* const kDays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (!date.isValid()) return {};
    const QDate day = date.date();
    const QTime time = date.time();
    const int offset = date.offsetFromUtc() / 60;
    const int absOffset = offset < 0 ? -offset : offset;
    return QString::asprintf("%s, %02d %s %04d %02d:%02d:%02d %c%02d%02d",
                             kDays[day.dayOfWeek() - 1], day.day(), kMonths[day.month() - 1],
                             day.year(), time.hour(), time.minute(), time.second(),
                             offset < 0 ? '-' : '+', absOffset / 60, absOffset % 60)
        .toLatin1();
}

QByteArray encodeHeaderField(const QByteArray& name, const QString& text) {
    if (text.isEmpty()) return name + ':' + kCrlf;
    if (isVerbatimHeaderText(text) && name.size() + 2 + text.size() <= kHardLimit)
        return name + ": " + text.toLatin1() + kCrlf;
    HeaderField field(name);
    field.addEncodedWords(text);
    return field.finish();
}

QByteArray composeMail(const MailContent& content, const MailStamp& stamp) {
    requireSingleLine(content.subject, "Subject");
    const bool idValid = stamp.messageId.startsWith('<') && stamp.messageId.endsWith('>') &&
                         std::all_of(stamp.messageId.begin(), stamp.messageId.end(),
                                     [](char c) { return c > 0x20 && c < 0x7f; });
    if (!stamp.date.isValid() || !idValid)
        fail(QStringLiteral("invalid Date or Message-ID"), QStringLiteral("日期或邮件编号无效"));

    QByteArray mail;
    mail += "Date: " + formatMailDate(stamp.date) + kCrlf;
    mail += addressField("From", content.from, "From");
    mail += addressField("To", content.to, "To");
    mail += encodeHeaderField("Subject", content.subject);
    mail += "Message-ID: " + stamp.messageId + kCrlf;
    mail += "MIME-Version: 1.0\r\n";
    mail += "Content-Type: text/plain; charset=UTF-8\r\n";
    mail += "Content-Transfer-Encoding: base64\r\n";
    mail += kCrlf;
    mail += base64Body(content.textBody);
    return mail;
}

MailStamp freshStamp(const MailAddress& sender) {
    QByteArray domain = sender.address.mid(sender.address.lastIndexOf('@') + 1);
    if (!sender.address.contains('@') || !isDomainText(domain)) domain = "localhost";
    const QDateTime now = QDateTime::currentDateTime();
    return {now, '<' + QUuid::createUuid().toByteArray(QUuid::Id128) + '.' +
                     QByteArray::number(now.toMSecsSinceEpoch()) + "@" + domain + '>'};
}

}  // namespace zelvo::sms
