// The check a form must pass before anything is sent: an account of an 11-digit number and the
// mail domain, a message shorter than 70 characters, and at least one picked number.
#include "sms/send_check.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace zelvo::sms
