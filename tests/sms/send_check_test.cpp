#include "sms/send_check.h"

#include <gtest/gtest.h>

namespace zelvo::sms {
namespace {

const QString kSuffix = QStringLiteral("@139.com");
const QString kAccount = QStringLiteral("13800138000@139.com");  // 19 characters

TEST(SendCheck, EachConditionDecides) {
    struct Case {
        const char* what;
        SendForm form;
        bool passes;
    };
    const QString chinese69(69, QChar(0x77ed));  // one UTF-16 unit each
    const Case cases[] = {
        {"all six hold", {kAccount, "13900139000", "hi", 1}, true},
        {"69 characters", {kAccount, "13900139000", chinese69, 1}, true},
        {"70 characters", {kAccount, "13900139000", chinese69 + "x", 1}, false},
        {"one space", {kAccount, "13900139000", " ", 1}, true},
        {"empty message", {kAccount, "13900139000", "", 1}, false},
        {"empty recipients", {kAccount, "", "hi", 1}, false},
        {"18-character account", {"1380013800@139.com", "13900139000", "hi", 1}, false},
        {"20-character account", {"138001380000@139.com", "13900139000", "hi", 1}, false},
        {"suffix in other case", {"13800138000@139.COM", "13900139000", "hi", 1}, false},
        {"suffix missing", {"13800138000@139.net", "13900139000", "hi", 1}, false},
        {"suffix at the start", {"@139.com13800138000", "13900139000", "hi", 1}, true},
        {"recipients but no count", {kAccount, "13900139000", "hi", 0}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(passesSendCheck(c.form, kSuffix), c.passes);
    }
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
