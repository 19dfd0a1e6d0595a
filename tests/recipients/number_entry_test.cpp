#include "recipients/number_entry.h"

#include <gtest/gtest.h>

#include <QString>
#include <ostream>

static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace zelvo::recipients {
namespace {

using namespace Qt::StringLiterals;

struct CheckCase {
    const char* name;
    QString entry;
    QString number;
    NumberCheck check;
};
void PrintTo(const CheckCase& c, std::ostream* out) {
    *out << c.name;
}

class NumberCheckTest : public ::testing::TestWithParam<CheckCase> {};

// What the walk's tables do not show: exactly which characters are cut out.
TEST_P(NumberCheckTest, CutsAndChecksTheNumber) {
    const CheckCase& c = GetParam();
    EXPECT_EQ(cutNumber(c.entry), c.number);
    EXPECT_EQ(numberOf(c.entry), c.number);
    EXPECT_EQ(checkNumber(cutNumber(c.entry)), c.check);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, NumberCheckTest,
    ::testing::Values(CheckCase{"TwoCharacters", u"李三,13"_s, u"13"_s, NumberCheck::WrongOperator},
                      CheckCase{"EmptyEntry", QString(), QString(), NumberCheck::WrongOperator},
                      CheckCase{"SpaceAfterComma", u"李三, 13806012345"_s, u" 1380601234"_s,
                                NumberCheck::WrongOperator},
                      CheckCase{"FullWidthCommaIsNoSeparator", u"李三，13806012345"_s,
                                u"李三，13806012"_s, NumberCheck::WrongOperator},
                      CheckCase{"FirstCommaSeparates", u"李三,王,13806012345"_s, u"王,138060123"_s,
                                NumberCheck::WrongOperator}),
    [](const auto& info) { return std::string(info.param.name); });

struct PrefixCase {
    const char* prefix;
    NumberCheck check;
};

TEST(MobilePrefix, OnlyListedPrefixesPass) {
    // The neighbours of every listed block are other operators' numbers.
    const PrefixCase cases[] = {
        {"133", NumberCheck::WrongOperator}, {"134", NumberCheck::Accepted},
        {"139", NumberCheck::Accepted},      {"140", NumberCheck::WrongOperator},
        {"149", NumberCheck::WrongOperator}, {"150", NumberCheck::Accepted},
        {"152", NumberCheck::Accepted},      {"153", NumberCheck::WrongOperator},
        {"157", NumberCheck::WrongOperator}, {"158", NumberCheck::Accepted},
        {"159", NumberCheck::Accepted},      {"186", NumberCheck::WrongOperator},
        {"187", NumberCheck::Accepted},      {"188", NumberCheck::Accepted},
        {"189", NumberCheck::WrongOperator}, {"１３８", NumberCheck::WrongOperator},
    };
    for (const PrefixCase& c : cases) {
        SCOPED_TRACE(c.prefix);
        EXPECT_EQ(checkNumber(QString::fromUtf8(c.prefix) + u"06012345"_s), c.check);
    }
}

}  // namespace
}  // namespace zelvo::recipients
