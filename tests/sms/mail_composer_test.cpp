#include "sms/mail_composer.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTimeZone>

#include "sms/cdo_message.h"
#include "support/smtp_test_server.h"

namespace zelvo::sms {
namespace {

const QString kAccount = QStringLiteral("13800138000@139.com");
const QString kGateway = QStringLiteral("sms@139.com");

MailStamp fixedStamp() {
    return {QDateTime(QDate(2024, 2, 5), QTime(9, 7, 3), QTimeZone(8 * 3600)), "<id.1@139.com>"};
}

testing::ReceivedMail compose(const MailContent& content) {
    return {.content = composeMail(content, fixedStamp())};
}

QString crlf(QString text) {
    return text.replace("\r\n", "\n").replace('\r', '\n').replace("\n", "\r\n");
}

// Every line ends in CRLF and nothing but ASCII is on the wire.
void expectWellFormedLines(const QByteArray& mail) {
    ASSERT_TRUE(mail.endsWith("\r\n"));
    for (qsizetype i = 0; i < mail.size(); ++i) {
        ASSERT_LT(static_cast<uchar>(mail[i]), 0x80) << "at " << i;
        if (mail[i] == '\n') {
            ASSERT_TRUE(i > 0 && mail[i - 1] == '\r') << "bare LF at " << i;
        }
        if (mail[i] == '\r') {
            ASSERT_TRUE(i + 1 < mail.size() && mail[i + 1] == '\n') << "bare CR at " << i;
        }
    }
    for (const QByteArray& line : mail.split('\n')) ASSERT_LE(line.size(), 999);
}

// Each encoded word is short and holds whole characters, and lines with them stay short.
void expectGoodEncodedWords(const QByteArray& mail) {
    static const QRegularExpression word(QStringLiteral(R"(=\?UTF-8\?B\?([^?]*)\?=)"));
    for (const QByteArray& line : mail.split('\n')) {
        auto it = word.globalMatch(QString::fromLatin1(line));
        if (it.hasNext()) {
            EXPECT_LE(line.size(), 79) << line.constData();
        }
        while (it.hasNext()) {
            const auto match = it.next();
            EXPECT_LE(match.capturedLength(), 75);
            QStringDecoder utf8(QStringDecoder::Utf8);
            (void)utf8.decode(QByteArray::fromBase64(match.captured(1).toLatin1()));
            EXPECT_FALSE(utf8.hasError()) << line.constData();
        }
    }
}

TEST(MailComposer, WritesEveryHeader) {
    const testing::ReceivedMail mail = compose({kAccount, kGateway, "13900139000", "hi"});
    const std::pair<QByteArray, QString> headers[] = {
        {"Date", "Mon, 05 Feb 2024 09:07:03 +0800"},
        {"Message-ID", "<id.1@139.com>"},
        {"From", kAccount},
        {"To", kGateway},
        {"Subject", "13900139000"},
        {"MIME-Version", "1.0"},
        {"Content-Type", "text/plain; charset=UTF-8"},
        {"Content-Transfer-Encoding", "base64"},
    };
    for (const auto& [name, value] : headers)
        EXPECT_EQ(mail.header(name), value) << name.constData();
    expectWellFormedLines(mail.content);
}

TEST(MailComposer, EncodesSubjectsThatAreNotPlainAscii) {
    const std::pair<QString, bool> cases[] = {
        // subject, stays as it is
        {"13900139000,13800138000", true},
        {"你好,世界", false},
        {QString(60, QChar(0x77ed)) + "😀 mixed 文字 " + QString(30, 'a'), false},
        {"=?UTF-8?B?not a word?=", false},
        {" leading and trailing ", false},
    };
    for (const auto& [subject, verbatim] : cases) {
        SCOPED_TRACE(subject.toStdString());
        const testing::ReceivedMail mail = compose({kAccount, kGateway, subject, "hi"});
        EXPECT_EQ(mail.subject(), subject);
        EXPECT_EQ(mail.content.contains("\r\nSubject: " + subject.toUtf8() + "\r\n"), verbatim);
        expectGoodEncodedWords(mail.content);
        expectWellFormedLines(mail.content);
    }
}

TEST(MailComposer, QuotesOrEncodesDisplayNames) {
    const std::pair<QString, QString> cases[] = {
        // From as given, From header as a reader decodes it
        {kAccount, kAccount},
        {"  张三 <13800138000@139.com> ", "张三 <13800138000@139.com>"},
        {"Zhang San <13800138000@139.com>", "\"Zhang San\" <13800138000@139.com>"},
    };
    for (const auto& [from, header] : cases) {
        const testing::ReceivedMail mail = compose({from, kGateway, "1", "hi"});
        EXPECT_EQ(mail.header("From"), header);
        expectWellFormedLines(mail.content);
    }
}

TEST(MailComposer, BodyIsBase64OfCrlfText) {
    const QString text = QStringLiteral("第一行\n.第二行\r\n..\r第三行 😀\n");
    const testing::ReceivedMail mail = compose({kAccount, kGateway, "1", text});
    EXPECT_EQ(mail.textBody(), crlf(text));
    for (const QByteArray& line :
         mail.content.mid(mail.content.indexOf("\r\n\r\n") + 4).split('\n'))
        EXPECT_LE(line.size(), 77);  // 76 and the CR
    expectWellFormedLines(mail.content);
}

TEST(MailComposer, RefusesLineBreaksAndNulInHeaders) {
    const QString breaks[] = {"\r", "\n", "\r\nBcc: x@y.z", QString(QChar(0))};
    for (const QString& bad : breaks) {
        EXPECT_THROW(compose({kAccount, kGateway, "1" + bad, "hi"}), MailError);
        EXPECT_THROW(compose({kAccount + bad, kGateway, "1", "hi"}), MailError);
        EXPECT_THROW(compose({kAccount, kGateway + bad, "1", "hi"}), MailError);
    }
    for (const char* bad : {"", "a b@c", "a@b, c@d", "<a@b", "张@139.com"})
        EXPECT_THROW(compose({kAccount, QString::fromUtf8(bad), "1", "hi"}), MailError) << bad;
}

// Random subjects, display names and bodies: the message stays well formed and round-trips.
TEST(MailComposer, RandomTextRoundTrips) {
    const QList<QString> pieces = {"a",  "Z",  "0", " ", ".",  ",",  "=?", "?=", "\t",
                                   "短", "信", "😀", "é", "\"", "\\", "<",  "_",  "="};
    QRandomGenerator random(20240205);
    auto randomText = [&](int maxPieces) {
        QString text;
        for (int i = random.bounded(maxPieces + 1); i > 0; --i)
            text += pieces[random.bounded(pieces.size())];
        return text;
    };
    for (int round = 0; round < 300; ++round) {
        const QString subject = randomText(120);
        const QString body = randomText(40) + (round % 2 ? "\n.\r\n" : "\r") + randomText(40);
        const QString from =
            randomText(8).remove('<').remove('>').remove('"').remove('\\') + " <" + kAccount + ">";
        SCOPED_TRACE(subject.toStdString());
        const testing::ReceivedMail mail = compose({from, kGateway, subject, body});
        EXPECT_EQ(mail.subject(), subject);
        EXPECT_EQ(mail.textBody(), crlf(body));
        const QString fromHeader = mail.header("From");
        EXPECT_TRUE(fromHeader == kAccount || fromHeader.endsWith(" <" + kAccount + ">"));
        expectGoodEncodedWords(mail.content);
        expectWellFormedLines(mail.content);
    }
}

}  // namespace
}  // namespace zelvo::sms
