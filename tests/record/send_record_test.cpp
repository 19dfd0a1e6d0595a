// The record of sends: one line per send that a text editor shows as one, kept for the owner
// alone and below its size by dropping the older half.
#include "record/send_record.h"

#include <QTemporaryDir>

#include "support/test_files.h"

namespace zelvo::testing {
namespace {

TEST(SendRecord, OneLinePerSendOwnerOnlyNewerHalfKept) {
    const QDateTime time(QDate(2026, 12, 7), QTime(14, 3, 12));
    // Every character a terminal or a Unicode-aware tool would act on is written out: none can
    // break the line, forge a date or hide text.
    const QString message = QString::fromUtf16(
                                u"第一行\r\n\t\\第二行\r三\x1B[2J\b\x7F\x85"
                                u"\u2028\u202E\u2066\v\f") +
                            QChar(0xD800) + QChar(0) + QString::fromUtf16(u"😀");
    const record::SendRecord record{time, "13806012345,13906054321", message, "已发送",
                                    "smtp.example:25 STARTTLS"};
    const QByteArray line =
        "2026-12-07 14:03:12\t13806012345,13906054321\t第一行\\n\\t\\\\第二行\\n三\\u001B[2J"
        "\\u0008\\u007F\\u0085\\u2028\\u202E\\u2066\\u000B\\u000C\\uD800\\u0000😀\t已发送\t"
        "smtp.example:25 STARTTLS\r\n";
    const QByteArray old =
        QByteArray("older\r\n").repeated(50) + QByteArray("newer\r\n").repeated(50);
    // Before: what the file holds; limit: the record's size limit; after: the file afterwards,
    // or nothing when the record is refused with words of `refusal`.
    // clang-format off
    const struct {
        const char* name;
        QByteArray before = {};
        const char* make = "";
        qint64 limit = record::kSendRecordLimit;
        QByteArray after = {};
        const char* refusal = "";
    } rows[] = {
        {.name = "New", .make = "none", .after = line},
        {.name = "Appended", .before = "a\r\n", .after = "a\r\n" + line},
        {.name = "OlderHalfGoes", .before = old, .limit = qint64(old.size()), .after = QByteArray("newer\r\n").repeated(50) + line},
        {.name = "Folder", .make = "dir", .refusal = "文件夹"},
        {.name = "Fifo", .make = "fifo", .refusal = "不是普通文件"},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (skippedHere(row.name, row.make)) continue;
        const QTemporaryDir folder;
        // A new record's folder is made for the owner alone too.
        const bool fresh = QByteArray(row.make) == "none";
        const QString path = folder.filePath("sub/sent.log");
        ASSERT_TRUE(fresh || QDir().mkpath(folder.filePath("sub")));
        ASSERT_TRUE(place(row.make, path, row.before));
        const QString error = record::appendSendRecord(path, record, row.limit);
        EXPECT_TRUE(*row.refusal ? error.contains(row.refusal) : error.isEmpty())
            << error.toStdString();
        if (*row.refusal) continue;
        EXPECT_EQ(readFile(path), row.after);
#ifdef Q_OS_UNIX
        using P = QFile;
        EXPECT_EQ(P::permissions(path), P::ReadOwner | P::WriteOwner | P::ReadUser | P::WriteUser);
        EXPECT_TRUE(!fresh || P::permissions(folder.filePath("sub")) ==
                                  (P::ReadOwner | P::WriteOwner | P::ExeOwner | P::ReadUser |
                                   P::WriteUser | P::ExeUser));
#endif
    }
}

}  // namespace
}  // namespace zelvo::testing
