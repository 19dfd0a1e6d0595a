// The number list's edits: the format a number typed by hand must have before it joins the list
// (a comma and at least eleven characters after the first one; the number itself is checked only
// when it is picked), what a delete asks and leaves, and what an import that adds nothing says.
#include <gtest/gtest.h>

#include "recipients/list_edits.h"
#include "recipients/number_entry.h"
#include "support/test_files.h"

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

TEST(ListEdits, RefuseTellAndKeepTheOrder) {
    EXPECT_EQ(manualEntryRefusal("李三,13806012345", MaxListEntries - 1), std::nullopt);
    EXPECT_EQ(manualEntryRefusal("13806012345", 0), "添加 13806012345 失败 格式错误.");
    EXPECT_EQ(manualEntryRefusal("李三,13806012345", MaxListEntries),
              "添加 李三,13806012345 失败 号码列表已满(最多 32767 个号码).");

    const QStringList names = testing::numbered(21);
    const QString ask = QStringLiteral("您确定要删除所选的号码吗?\n\n");
    const struct {
        qsizetype picked;
        QString question;
    } deletions[] = {
        {1, ask + names[0]},
        {20, ask + names.mid(0, 20).join(u'\n')},
        {21, ask + names.mid(0, 20).join(u'\n') + QStringLiteral("\n……等共 21 个号码")},
    };
    for (const auto& row : deletions) {
        EXPECT_EQ(deletionQuestion(names.mid(0, row.picked)), row.question) << row.picked;
    }
    EXPECT_EQ(testing::textsOf(withoutPicked(testing::entriesOf(names.mid(0, 5)),
                                             {true, false, true, false, false})),
              QStringList({names[1], names[3], names[4]}));

    const struct {
        BookFormat format;
        int entries, leftOut;
        std::optional<QString> empty, left = {};
    } books[] = {
        {BookFormat::Lines, 0, 0, "电话本文件 b 中没有 名字,号码 格式的行(如 李三,13806012345), 号码列表没有改变."},
        {BookFormat::VCard, 0, 0, "联系人文件 b 中没有移动手机号码, 号码列表没有改变."},
        {BookFormat::Csv, 0, 0, "联系人文件 b 中没有移动手机号码, 号码列表没有改变."},
        {BookFormat::Csv, 1, 0, std::nullopt},
        {BookFormat::Lines, 1, 7, std::nullopt, "号码列表最多容纳 32767 个号码, 电话本中另有 7 个号码没有导入."},
    };
    for (const auto& row : books) {
        PhoneBookImport book;
        book.format = row.format;
        book.leftOut = row.leftOut;
        if (row.entries) book.entries = testing::entriesOf(names.mid(0, row.entries));
        EXPECT_EQ(std::pair(emptyBookNotice(book, "b"), leftOutNotice(book)),
                  std::pair(row.empty, row.left));
    }
}

}  // namespace
}  // namespace zelvo::recipients
