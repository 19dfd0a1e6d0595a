// Every file the programs keep, against what someone may have planted in its place: each way of
// using a file (read, replace, append a line, lock) either works and leaves the user's file the
// user's, or is refused at once with the reason, touching nothing outside the folder.
#include "files/user_file.h"

#include <QTemporaryDir>
#include <csignal>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <sys/wait.h>
#endif

#include "support/test_files.h"

namespace zelvo::testing {
namespace {

using namespace std::chrono_literals;

enum class Use { Read, Replace, Append, Lock };

// Runs one use of the file at path; what it returns is the refusal, or "" when it worked.
QString use(Use how, const QString& path, const std::function<void()>& atLocked = {}) {
    switch (how) {
        case Use::Read: {
            const files::OpenedFile opened = files::openForReading(path);
            if (!opened.file) return opened.refusal + opened.error + (opened.exists ? "" : "none");
            return files::readAtMost(*opened.file, 1024) ? "" : "unread";
        }
        case Use::Replace:
            return files::replaceFile(path, "new\n");
        case Use::Append:
            return files::appendToLog(path, "line\n", {.lockWait = 100ms, .atLocked = atLocked});
        case Use::Lock:
            return files::lockBeside(path, 100ms).error;
    }
    return "?";
}

#ifdef Q_OS_UNIX
uid_t ownerOf(const QString& path) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_uid : uid_t(-1);
}
#endif

TEST(UserFileTest, PlantedThingsAreRefusedOwnFilesStayTheUsers) {
    // Make: what place() puts at the file ("lock:" puts it at the lock file beside it instead);
    // the file otherwise holds "old\n". Each column: words of the refusal, or "" when it works.
    // clang-format off
    const struct {
        const char *name, *make, *read, *replace, *append, *lock;
    } rows[] = {
        {"OwnFile", "", "", "", "", ""},
        {"Missing", "none", "none", "", "", ""},
        {"Fifo", "fifo", "不是普通文件", "不是普通文件", "不是普通文件", ""},
        {"Folder", "dir", "文件夹", "文件夹", "文件夹", ""},
        {"OwnLink", "link", "", "", "", ""},
        {"OthersLinkInASharedFolder", "link:nobody:1777", "别的用户", "别的用户", "别的用户", "别的用户"},
        {"OthersFileInASharedFolder", "file:nobody:1777", "别的用户", "", "别的用户", ""},
        {"OthersReadableFileInOwnFolder", "file:nobody:755", "", "", "别的用户", ""},
        // The administrator in a user's own folder: that user's files, and they stay his.
        {"UsersFileInTheirFolder", "file:nobody:755:nobody", "", "", "", ""},
        {"HardLinkToAnotherFile", "hardlink", "", "", "硬链接", ""},
        {"FifoAsLock", "lock:fifo", "", "", "不是普通文件", "不是普通文件"},
        {"LinkToADeviceAsLock", "lock:device", "", "", "符号链接", "符号链接"},
        {"OthersLockInASharedFolder", "lock:file:nobody:1777", "", "", "别的用户", "别的用户"},
        {"StaleLockOfAKilledWriter", "lock:", "", "", "", ""},
    };
    // clang-format on
    for (const auto& row : rows) {
        for (const Use how : {Use::Read, Use::Replace, Use::Append, Use::Lock}) {
            const char* expected =
                std::array{row.read, row.replace, row.append, row.lock}[int(how)];
            SCOPED_TRACE(std::string(row.name) + " use " + std::to_string(int(how)));
            QString make = row.make;
            const bool atLock = make.startsWith("lock:");
            if (atLock) make.remove(0, 5);
            const bool unixCall = make == "hardlink" || make == "device";
            if (skippedHere(row.name, unixCall ? QString("link:") : make)) continue;
            const QTemporaryDir folder;
            const QString path = folder.filePath("sent.log"), outside = folder.filePath("outside");
            writeFile(outside, "outside\n");
            const QString at = atLock ? path + ".lock" : path;
            if (unixCall) {
#ifdef Q_OS_UNIX
                ASSERT_EQ(make == "hardlink"
                              ? ::link(QFile::encodeName(outside), QFile::encodeName(path))
                              : ::symlink("/dev/zero", QFile::encodeName(at)),
                          0);
#endif
            } else {
                ASSERT_TRUE(place(make, at, "old\n"));
            }
            if (atLock) writeFile(path, "old\n");
            const QString refusal = use(how, path);
            EXPECT_TRUE(*expected ? refusal.contains(expected) : refusal.isEmpty())
                << refusal.toStdString();
            EXPECT_EQ(readFile(outside), "outside\n") << "nothing is written outside";
            if (*expected) continue;
            const QString real = QFileInfo(path).canonicalFilePath();
            if (how == Use::Replace) {
                EXPECT_EQ(readFile(real), "new\n");
            } else if (how == Use::Append) {
                EXPECT_TRUE(readFile(real).endsWith("line\n"));
            }
#ifdef Q_OS_UNIX
            // Whoever writes, the file stays its owner's (the administrator's new files in a
            // user's folder are the user's).
            if (how == Use::Replace || how == Use::Append) {
                EXPECT_EQ(ownerOf(real), make.endsWith(":nobody") ? 65534 : ::geteuid());
                EXPECT_EQ(QFileInfo(real).permissions() & (QFile::ReadOther | QFile::ReadGroup), 0);
            }
#endif
        }
    }
}

#ifdef Q_OS_UNIX
// A log swapped for something else between its name being looked up and its being opened: a link
// is not followed, a FIFO not waited on. A write cut short leaves no half line.
TEST(UserFileTest, AppendRefusesWhatIsSwappedInAndTakesBackAHalfLine) {
    const QTemporaryDir folder;
    const QString path = folder.filePath("sent.log"), outside = folder.filePath("notes.txt");
    writeFile(outside, "notes\n");
    for (const char* swapped : {"link", "fifo"}) {
        SCOPED_TRACE(swapped);
        writeFile(path, "old\n");
        const QString refusal = use(Use::Append, path, [&] {
            ASSERT_TRUE(QFile::remove(path));
            ASSERT_TRUE(QByteArray(swapped) == "link"
                            ? QFile::link(outside, path)
                            : ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        });
        EXPECT_FALSE(refusal.isEmpty());
        EXPECT_EQ(readFile(outside), "notes\n");
        QFile::remove(path);
    }

    // A file size limit stands in for a full disk: the write stops part way.
    writeFile(path, "old\n");
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{10, 10};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const QString refusal = files::appendToLog(path, "a longer line\n");
        ::_exit(refusal.contains("sent.log") && refusal.contains("超过了系统允许的大小") ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "told, naming the file and cause";
    EXPECT_EQ(readFile(path), "old\n") << "no half line";
}

// Writers in several processes at once, each creating the log or dropping its older half: every
// line is kept. A log of gigabytes loses its older half reading only the newer one.
TEST(UserFileTest, WritersTakeTurnsAndEveryLineIsKept) {
    constexpr qint64 kLimit = 4096;
    for (const qint64 filled : {qint64(-1), kLimit - 4}) {
        SCOPED_TRACE(filled);
        const QTemporaryDir folder;
        const QString path = folder.filePath("new/sent.log");
        if (filled >= 0) {
            ASSERT_TRUE(QDir(folder.path()).mkdir("new"));
            writeFile(path, QByteArray(filled - 1, 'x') + '\n');
        }
        int start[2];
        ASSERT_EQ(::pipe(start), 0);
        std::vector<pid_t> writers;
        for (int i = 0; i < 8; ++i) {
            const pid_t child = ::fork();
            if (child == 0) {
                char go;
                ::close(start[1]);
                const bool started = ::read(start[0], &go, 1) == 0;
                const QString error = files::appendToLog(path, QByteArray::number(i) + "\n",
                                                         {.limitBytes = kLimit, .lockWait = 10s});
                ::_exit(started && error.isEmpty() ? 0 : 1);
            }
            writers.push_back(child);
        }
        ::close(start[0]);
        ::close(start[1]);  // they all start at once
        for (const pid_t child : writers) {
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        QList<QByteArray> lines = readFile(path).split('\n');
        lines.removeIf([](const QByteArray& line) { return line.size() != 1; });
        std::sort(lines.begin(), lines.end());
        EXPECT_EQ(lines, (QList<QByteArray>{"0", "1", "2", "3", "4", "5", "6", "7"}));
        EXPECT_LE(readFile(path).size(), kLimit);
    }

    const QTemporaryDir folder;
    const QString huge = folder.filePath("sent.log");
    writeFile(huge, "");
    ASSERT_TRUE(QFile::resize(huge, qint64(3) << 30));  // sparse: three gigabytes of nothing
    EXPECT_EQ(files::appendToLog(huge, "last\n"), "");
    EXPECT_EQ(readFile(huge), "last\n");
}
#endif

}  // namespace
}  // namespace zelvo::testing
