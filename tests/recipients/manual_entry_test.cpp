// The format a number typed by hand must have before it joins the list: a comma and at least
// eleven characters after the first one. The number itself is checked only when it is picked.
#include <gtest/gtest.h>

#include "recipients/number_entry.h"

namespace zelvo::recipients {
namespace {

TEST(ManualEntryFormat, NeedsACommaAndElevenCharactersAfterIt) {
    const struct {
        const char* entry;
        bool accepted;
    } rows[] = {
        {.entry = "李三,13806012345", .accepted = true},
        {.entry = ",13806012345", .accepted = true},
        {.entry = "a,1380601234567", .accepted = true},
        {.entry = "a,abcdefghijk", .accepted = true},
        {.entry = "a,b,138060123", .accepted = true},
        {.entry = "13806012345", .accepted = false},
        {.entry = "a,1380601234", .accepted = false},
        {.entry = "a，13806012345", .accepted = false},
        {.entry = ",", .accepted = false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(passesManualEntryFormat(QString::fromUtf8(row.entry)), row.accepted) << row.entry;
    }
}

}  // namespace
}  // namespace zelvo::recipients
