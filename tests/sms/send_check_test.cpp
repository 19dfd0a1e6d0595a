// The check a form must pass before anything is sent: an account of an 11-digit number and the
// mail domain, a message shorter than 70 characters, and at least one picked number.
#include "sms/send_check.h"

#include <gtest/gtest.h>

#include "sms/message_parts.h"

namespace zelvo::sms {
namespace {

TEST(SendCheck, PassesOnlyAFormThatCanBeSent) {
    const QString k69 = QString(69, QChar(0x77ed));
    const struct {
        const char* name;
        SendForm form;
        bool passes;
    } rows[] = {
        // clang-format off
        {.name = "Sendable", .form = {.sender = "13806012345@139.com", .recipients = "13806012345", .text = "hi", .selectedCount = 1}, .passes = true},
        {.name = "Message69", .form = {.sender = "13806012345@139.com", .recipients = "13806012345", .text = k69, .selectedCount = 1}, .passes = true},
        {.name = "OneSpace", .form = {.sender = "13806012345@139.com", .recipients = "13806012345", .text = " ", .selectedCount = 1}, .passes = true},
        {.name = "SuffixAtStartHasTheLength", .form = {.sender = "@139.com13806012345", .recipients = "13806012345", .text = "hi", .selectedCount = 1}, .passes = true},
        {.name = "Message70", .form = {.sender = "13806012345@139.com", .recipients = "13806012345", .text = k69 + "m", .selectedCount = 1}, .passes = false},
        {.name = "EmptyMessage", .form = {.sender = "13806012345@139.com", .recipients = "13806012345", .text = "", .selectedCount = 1}, .passes = false},
        {.name = "Account18", .form = {.sender = "1380601234@139.com", .recipients = "13806012345", .text = "hi", .selectedCount = 1}, .passes = false},
        {.name = "Account20", .form = {.sender = "138060123456@139.com", .recipients = "13806012345", .text = "hi", .selectedCount = 1}, .passes = false},
        {.name = "OtherSuffix", .form = {.sender = "13806012345@139.net", .recipients = "13806012345", .text = "hi", .selectedCount = 1}, .passes = false},
        {.name = "SuffixInOtherCase", .form = {.sender = "13806012345@139.COM", .recipients = "13806012345", .text = "hi", .selectedCount = 1}, .passes = false},
        {.name = "NothingPicked", .form = {.sender = "13806012345@139.com", .recipients = "13806012345", .text = "hi", .selectedCount = 0}, .passes = false},
        {.name = "EmptyRecipients", .form = {.sender = "13806012345@139.com", .recipients = "", .text = "hi", .selectedCount = 1}, .passes = false},
        // clang-format on
    };
    for (const auto& row : rows) {
        EXPECT_EQ(passesSendCheck(row.form, QStringLiteral("@139.com")), row.passes) << row.name;
    }
}

// The window's counter says what the check will say: 0 left still sends, -1 is refused. A line
// break typed in the window is CR LF, two characters.
TEST(SendCheck, CharactersLeftCountAsTheCheckCounts) {
    const struct {
        const char* name;
        QString message;
        int left;
    } rows[] = {
        {"Empty", "", 69},
        {"TenChinese", QString(10, u'短'), 59},
        {"LineBreak", "a\r\nb", 65},
        {"Longest", QString(69, u'a'), 0},
        {"OneTooMany", QString(70, u'a'), -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(charactersLeft(row.message), row.left);
        EXPECT_EQ(charactersLeft(row.message) >= 0,
                  checkSendForm({"", "", row.message, 0}, "@139.com").textFits);
    }
}

// A long message in numbered parts, each one SMS the check lets through, cut where neither a
// character of two code units nor a CR LF is cut; more than ten parts fail the check.
TEST(SendCheck, LongMessagesGoInNumberedPartsThatEachPass) {
    const auto a = [](int n) { return QString(n, u'a'); };
    const QString wide = QStringLiteral("𠀀");
    const struct {
        const char* name;
        QString message;
        QString first = {};  // the first part
        int count;
        int left;
    } rows[] = {
        // clang-format off
        {.name = "OneSmsUnnumbered", .message = a(69), .first = a(69), .count = 1, .left = 0},
        {.name = "Seventy", .message = a(70), .first = "(1/2)" + a(64), .count = 2, .left = 58},
        {.name = "HundredFifty", .message = a(150), .first = "(1/3)" + a(64), .count = 3, .left = 42},
        {.name = "CrLfKeptTogether", .message = a(63) + "\r\n" + a(10), .first = "(1/2)" + a(63), .count = 2, .left = 52},
        {.name = "CrLfAfterTheCut", .message = a(64) + "\r\n" + a(10), .first = "(1/2)" + a(64), .count = 2, .left = 52},
        {.name = "PairKeptTogether", .message = a(63) + wide + a(10), .first = "(1/2)" + a(63), .count = 2, .left = 52},
        {.name = "NinePartsFull", .message = a(9 * 64), .first = "(1/9)" + a(64), .count = 9, .left = 0},
        {.name = "TenPartsNumberedWider", .message = a(9 * 64 + 1), .first = "(1/10)" + a(63), .count = 10, .left = 52},
        {.name = "TenPartsFull", .message = a(longestSplitMessage()), .first = "(1/10)" + a(63), .count = 10, .left = 0},
        {.name = "ElevenParts", .message = a(longestSplitMessage() + 3), .count = 0, .left = -3},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const MessageParts split = splitMessage(row.message);
        ASSERT_EQ(split.parts.size(), row.count);
        EXPECT_EQ(split.left, row.left);
        EXPECT_EQ(checkSendForm({"", "", row.message, 0, true}, "@139.com").textFits,
                  row.count > 0);
        if (row.count == 0) continue;
        EXPECT_EQ(split.parts.first(), row.first);
        QString joined;
        for (int i = 0; i < row.count; ++i) {
            QString part = split.parts[i];
            EXPECT_GE(charactersLeft(part), 0) << i;
            if (row.count > 1) {
                const QString number = QStringLiteral("(%1/%2)").arg(i + 1).arg(row.count);
                EXPECT_TRUE(part.startsWith(number)) << part.toStdString();
                part.remove(0, number.size());
            }
            joined += part;
        }
        EXPECT_EQ(joined, row.message);
    }
    EXPECT_EQ(partsOutcome(2, 3), "已发送第 1 至 2 条, 第 3 条没有发送。");
}

}  // namespace
}  // namespace zelvo::sms
