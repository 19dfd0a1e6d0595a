#include "recipients/phone_book.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

#include "recipients/number_entry.h"

namespace zelvo::recipients {
namespace {

using namespace Qt::StringLiterals;

// Encodings, line ends, skipped lines and unreadable paths are checked through the window
// (tests/app/number_list_test.cpp, tests/app/broken_files_test.cpp).
TEST(PhoneBookEntries, CapsAtTheListLimit) {
    const struct {
        int commaLines;
        int kept;
        int leftOut;
    } cases[] = {
        {MaxListEntries - 1, MaxListEntries - 1, 0},
        {MaxListEntries, MaxListEntries, 0},
        {40000, MaxListEntries, 40000 - MaxListEntries},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.commaLines);
        // Lines without a comma in between must not use up room in the list.
        QStringList lines;
        for (int i = 0; i < c.commaLines; ++i) {
            lines.append(u"名%1"_s.arg(i));
            lines.append(u"名%1,1380601%2"_s.arg(i).arg(i % 10000, 4, 10, QChar(u'0')));
        }
        const PhoneBookEntries read = phoneBookEntries(lines);
        ASSERT_EQ(read.entries.size(), c.kept);
        EXPECT_EQ(read.leftOut, c.leftOut);
        EXPECT_EQ(read.entries.front(), lines[1]);
        EXPECT_EQ(read.entries.back(), lines[2 * c.kept - 1]);
    }
}

}  // namespace
}  // namespace zelvo::recipients
