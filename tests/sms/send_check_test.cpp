#include "sms/send_check.h"

#include <gtest/gtest.h>

namespace zelvo::sms {
namespace {

// The other conditions are checked through the window (tests/app/send_command_test.cpp), where
// an empty recipient field never comes with a count above zero, and every account holds one "@".
TEST(SendCheck, EmptyRecipientsFailWhateverTheCount) {
    EXPECT_TRUE(passesSendCheck({"13800138000@139.com", "13900139000", "hi", 1}, "@139.com"));
    EXPECT_FALSE(passesSendCheck({"13800138000@139.com", "", "hi", 1}, "@139.com"));
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

TEST(SendCheck, LoginNameIsTextBeforeFirstAt) {
    EXPECT_EQ(loginNameOf("a@b@c"), "a");
    EXPECT_EQ(loginNameOf("no-at-sign"), "no-at-sign");
}

}  // namespace
}  // namespace zelvo::sms
