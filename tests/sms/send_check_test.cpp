#include "sms/send_check.h"

#include <gtest/gtest.h>

namespace zelvo::sms {
namespace {

const QString kAccount = QStringLiteral("13800138000@139.com");

// The other conditions are checked through the window (tests/app/send_command_test.cpp), where
// an empty recipient field never comes with a count above zero.
TEST(SendCheck, EmptyRecipientsFailWhateverTheCount) {
    EXPECT_TRUE(passesSendCheck({kAccount, "13900139000", "hi", 1}, "@139.com"));
    EXPECT_FALSE(passesSendCheck({kAccount, "", "hi", 1}, "@139.com"));
}

TEST(SendCheck, LoginNameIsTextBeforeFirstAt) {
    const std::pair<QString, QString> cases[] = {
        {kAccount, "13800138000"},
        {"@139.com13800138000", ""},
        {"a@b@c", "a"},
        {"no-at-sign", "no-at-sign"},
    };
    for (const auto& [from, login] : cases)
        EXPECT_EQ(loginNameOf(from), login) << from.toStdString();
}

}  // namespace
}  // namespace zelvo::sms
