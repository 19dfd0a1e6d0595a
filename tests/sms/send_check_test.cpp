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

TEST(SendCheck, LoginNameIsTextBeforeFirstAt) {
    EXPECT_EQ(loginNameOf("a@b@c"), "a");
    EXPECT_EQ(loginNameOf("no-at-sign"), "no-at-sign");
}

}  // namespace
}  // namespace zelvo::sms
