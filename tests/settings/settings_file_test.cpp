// set.ini that is broken, huge, odd or not what it seems: each loads, and a save writes it
// whole or is refused with the reason, leaving what was there. Loading is quick: this program's
// CTest time-out is short (below).
// Time-out: 90 s
#include "settings/settings_file.h"

#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <csignal>
#ifdef Q_OS_UNIX
#include <sys/wait.h>
#endif

#include "settings/settings_location.h"
#include "support/test_files.h"

namespace zelvo::testing {
namespace {

using namespace std::chrono_literals;

const QString kLi = QStringLiteral("李三,13806012345");
const QString kWang = QStringLiteral("王五,13906054321");
const QByteArray kAccount = "[UserMsg]\r\nUser=u@139.com\r\nPassword=p\r\n[Phone]\r\n";

unsigned modeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

QStringList shown(const settings::SettingsData& data) {
    return QStringList({data.user, data.password}) + textsOf(data.entries);
}

TEST(SettingsFileTest, LoadsAndSavesOrIsRefusedUntouched) {
    const QByteArray saved =
        gbk("[UserMsg]\r\nUser=u@139.com\r\nPassword=pw\r\n[Phone]\r\n0=" + kLi + "\r\n1=" + kWang +
            "\r\ntotal=1\r\n");
    const QStringList two = {"u@139.com", "pw", kLi, kWang};
    const QByteArray huge = QByteArray("1380601234").repeated(1 << 20);
    // Make: how set.ini is placed (see place()). Shown: account, password, entries as loaded.
    // Refusal: words of the save's reason; empty: saved. Mode: given to set.ini before; the
    // saved file keeps only its owner's bits. Backup: the file was not read whole, and a save
    // that keeps the old file keeps it as set.ini.bak. Unread: words of the reason the file was
    // not read at all; the window starts empty.
    // clang-format off
    const struct {
        const char *name, *make;
        QByteArray bytes;
        QStringList shown;
        const char* refusal;
        unsigned mode;
        bool backup = false;
        const char* unread = "";
    } rows[] = {
        {"AsSaved", "", saved, two, "", 0640},
        {"ReadableByAll", "", saved, two, "", 0644},
        {"NoFile", "none", "", {"", ""}, "", 0600},
        {"EditedByHand", "", "; mine\nUser=x\n[ userMSG ]\n user = u@139.com \nPASSWORD=p\nuser=y\n[PHONE]\n; first\n0 = a \nno equals sign\nTOTAL = 1 \n0=z\n[Phone] ; again\n0=w\n1=w\n", {"u@139.com", "p", "a", ""}, "", 0},
        {"Gaps", "", kAccount + "0=a\r\n2=c\r\ntotal=2\r\n", {"u@139.com", "p", "a", "", "c"}, "", 0},
        {"KeysOutOfOrder", "", kAccount + "2=c\r\n0=a\r\n1=b\r\ntotal=2\r\n", {"u@139.com", "p", "a", "b", "c"}, "", 0},
        {"TotalQuotedWithBlanks", "", kAccount + "0=a\r\n1=b\r\ntotal=\" 1 \"\r\n", {"u@139.com", "p", "a", "b"}, "", 0},
        {"TotalWithPlus", "", kAccount + "0=a\r\n1=b\r\ntotal=+1\r\n", {"u@139.com", "p", "a", "b"}, "", 0},
        {"TotalMinusOne", "", kAccount + "0=a\r\ntotal=-1\r\n", {"u@139.com", "p"}, "", 0},
        {"TotalMinusOneAlone", "", kAccount + "total=-1\r\n", {"u@139.com", "p"}, "", 0},
        {"EmptyPhoneSection", "", kAccount, {"u@139.com", "p"}, "", 0},
        {"NoTotal", "", kAccount + "0=a\r\n2=c\r\n", {"u@139.com", "p", "a", "", "c"}, "", 0, true},
        {"TotalLetters", "", kAccount + "0=a\r\ntotal=abc\r\n", {"u@139.com", "p", "a"}, "", 0, true},
        {"TotalEmpty", "", kAccount + "0=a\r\ntotal=\r\n", {"u@139.com", "p", "a"}, "", 0, true},
        {"TotalFraction", "", kAccount + "0=a\r\ntotal=1.5\r\n", {"u@139.com", "p", "a"}, "", 0, true},
        {"TotalHex", "", kAccount + "0=a\r\ntotal=0x10\r\n", {"u@139.com", "p", "a"}, "", 0, true},
        {"TotalAbove16Bits", "", kAccount + "0=a\r\ntotal=32768\r\n", {"u@139.com", "p", "a"}, "", 0, true},
        {"TotalBelow16Bits", "", kAccount + "0=a\r\ntotal=-32769\r\n", {"u@139.com", "p", "a"}, "", 0, true},
        {"Quotes", "", kAccount + "0='a'\r\n1=\"\"b\"\"\r\n2=\"c'\r\n3=\"\r\ntotal=3\r\n", {"u@139.com", "p", "a", "\"b\"", "\"c'", "\""}, "", 0},
        {"NoPhoneSection", "", "[UserMsg]\r\nUser=u@139.com\r\nPassword=p\r\n", {"u@139.com", "p"}, "", 0},
        {"PasswordAsTyped", "", "[UserMsg]\r\nPassword=\"  p=;\"x\" \"\r\n[Phone]\r\n0=a,,12x\r\ntotal=0\r\n", {"", "  p=;\"x\" ", "a,,12x"}, "", 0},
        {"GbkAndGb18030", "", kAccount + "0=\xC0\xEE\xC8\xFD,1\r\n1=\x80 \x81\x80\r\n2=\x95\x32\x82\x36\x94\x39\xFC\x36\r\ntotal=2\r\n", {"u@139.com", "p", "李三,1", "€ 亐", "𠀀😀"}, "", 0},
        {"Utf8WithMark", "", "\xEF\xBB\xBF[UserMsg]\nUser=\xE6\x9D\x8E\n", {"李", ""}, "", 0},
        {"Utf16WithMark", "", utf16("[UserMsg]\r\nUser=李\r\n", QStringConverter::Utf16LE), {"李", ""}, "", 0},
        {"InvalidGb18030", "", QByteArray(saved).replace("pw", "p\x81").replace("\xC0\xEE", "\xFF\x81\x30"), {"u@139.com", "p\uFFFD", "\uFFFD\uFFFD0\u4E09,13806012345", kWang}, "", 0, true},
        {"CutOffAtTheEnd", "", saved + "\xC0", two, "", 0644, true},
        {"NulBytes", "", QByteArray(saved).replace("pw", QByteArray("p\0w", 3)) + QByteArray("\0\0\r\n", 4), {"u@139.com", QString::fromLatin1("p\0w", 3), kLi, kWang}, "", 0},
        {"TenMegabytesOfComments", "", ("; " + QByteArray(98, 'c') + "\r\n").repeated((10 << 20) / 100) + saved, two, "", 0},
        {"TenMegabyteEntry", "", QByteArray(saved).replace("total=1", "2=" + huge + "\r\ntotal=2"), two + QStringList(QString::fromLatin1(huge)), "", 0},
        {"Total32767WithoutEntries", "", kAccount + "total=32767\r\n", QStringList({"u@139.com", "p"}) + QStringList(32767, QString()), "", 0},  // what the list holds
        {"OwnerMayOnlyWrite", "", saved, two, "", 0200},
        {"ReadOnlyForAll", "", saved, two, "只读", 0444},
        {"ReadOnlyForOwner", "", saved, two, "只读", 0400},
        {"OthersMayWriteButNotOwner", "", saved, two, "只读", 0466},
        {"FolderInItsPlace", "dir", "", {"", ""}, "文件夹", 0},
        {"FifoInItsPlace", "fifo", "", {"", ""}, "不是普通文件", 0},
        {"LinkToAFile", "link", saved, two, "", 0},
        {"LinkToAnUndecodableFile", "link", saved + "\xC0", two, "", 0, true},
        {"OwnLinkInASharedFolder", "link:me:1777", saved, two, "", 0},
        {"OthersLinkInAPrivateFolder", "link:nobody:700", saved, two, "", 0},
        {"OthersLinkInASharedFolder", "link:nobody:1777", saved, {"", ""}, "别的用户", 0, false, "别的用户"},
        {"OthersLinkInAGroupFolder", "link:nobody:770", saved, {"", ""}, "别的用户", 0, false, "别的用户"},
        // The administrator in a user's own folder uses that user's files.
        {"OthersLinkInTheirFolder", "link:nobody:755:nobody", saved, two, "", 0},
        {"OthersFileInTheirFolder", "file:nobody:755:nobody", saved, two, "", 0},
        {"OwnFileInASharedFolder", "file:me:1777", saved, two, "", 0},
        {"OthersFileInAPrivateFolder", "file:nobody:700", saved, two, "", 0},
        {"OthersFileInASharedFolder", "file:nobody:1777", saved, {"", ""}, "", 0, false, "属于别的用户"},
        {"LinkToNothing", "dangling", "", {"", ""}, "", 0600},
        {"LinkToAFolder", "linkdir", "", {"", ""}, "文件夹", 0},
        {"LinkLoop", "loop", "", {"", ""}, "符号链接", 0},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QTemporaryDir folder;
        const QDir dir(folder.path());
        const QString make = row.make, ini = settings::settingsFileInFolder(folder.path());
        if (skippedHere(row.name, make, row.shown, row.mode)) continue;
        ASSERT_TRUE(place(make, ini, row.bytes));
        ASSERT_TRUE(!row.mode || !make.isEmpty() || ::chmod(QFile::encodeName(ini), row.mode) == 0);
        const QString link = QFileInfo(ini).symLinkTarget();
        [[maybe_unused]] const unsigned modeBefore = modeOf(ini);  // no mode bits on Windows
        // The lock file beside set.ini stays once made: it is not the user's data.
        const auto snapshot = [&] {
            return dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System)
                       .filter(QRegularExpression("^(?!.*\\.lock$)"))
                       .join(u'|') +
                   (QFileInfo(ini).isFile() ? QString::fromLatin1(readFile(ini).toBase64())
                                            : QString());
        };
        const QString before = snapshot();

        settings::LoadReport report{false, "?"};
        const settings::SettingsData loaded = settings::loadSettingsFile(ini, &report);
        EXPECT_EQ(shown(loaded), row.shown);
        EXPECT_TRUE(*row.unread ? report.refusal.contains(row.unread) : report.refusal.isEmpty())
            << report.refusal.toStdString();
        EXPECT_EQ(snapshot(), before) << "loading never writes";

        // As the window saves: keeping the old file when it was not read whole.
        const settings::SaveResult result =
            settings::saveSettingsFile(ini, loaded, {.keepOldFile = !report.whole});
        EXPECT_EQ(result.ok, !*row.refusal);
        if (result.ok) {
            EXPECT_EQ(shown(settings::loadSettingsFile(ini)), row.shown);
            EXPECT_EQ(QFileInfo(ini).symLinkTarget(), link) << "a link stays the same link";
            EXPECT_TRUE(QFileInfo(ini).isFile());
            EXPECT_TRUE(!row.mode || modeOf(ini) == (row.mode & 0700)) << std::oct << modeOf(ini);
            // The backup stands beside the file really replaced, for its owner alone; no
            // temporary file is left.
            const QString real = QFileInfo(ini).canonicalFilePath();
            for (const QString& used : {ini, real})
                EXPECT_EQ(QFileInfo(used).dir().entryList({"*.tmp"}), QStringList());
            EXPECT_EQ(readFile(real + ".bak"), row.backup ? row.bytes : "<unreadable>");
#ifdef Q_OS_UNIX
            EXPECT_TRUE(!row.backup || modeOf(real + ".bak") == (modeBefore & 0700));
#endif
            EXPECT_TRUE(link.isEmpty() || !QFileInfo::exists(ini + ".bak"));
        } else {
            EXPECT_TRUE(result.error.contains(QDir::toNativeSeparators(ini)) &&
                        result.error.contains(row.refusal))
                << result.error.toStdString();
            EXPECT_EQ(snapshot(), before);
        }
    }
}

// A file that the next start would refuse is never written: the one there stays.
TEST(SettingsFileTest, NeverSavesWhatALoadWouldRefuse) {
    const QTemporaryDir folder;
    const QString ini = settings::settingsFileInFolder(folder.path());
    writeFile(ini, "[UserMsg]\r\nUser=u@139.com\r\n");
    // Two bytes a character in GB18030: past the largest file a start reads.
    const settings::SettingsData huge{
        "u@139.com", "p", entriesOf({QString((settings::kMaxSettingsFileBytes >> 1) + 1, u'李')})};
    const settings::SaveResult result = settings::saveSettingsFile(ini, huge);
    EXPECT_TRUE(!result.ok && result.error.contains("超过了能读取的"))
        << result.error.toStdString();
    EXPECT_EQ(readFile(ini), "[UserMsg]\r\nUser=u@139.com\r\n");
}

// Two saves of one file never interleave: one that finds another at any of its steps waits a
// moment and is refused. A save killed at any step leaves the old file or the whole new one, and
// the next save goes through.
TEST(SettingsFileTest, SavesTakeTurnsAndACrashLeavesTheOldFileOrTheNew) {
    using settings::SaveStep;
    const settings::SettingsData old{"old@139.com", "o", {}}, mine{"a@139.com", "a", {}},
        other{"b@139.com", " b ", {}}, next{"c@139.com", "c", {}};
    // Replaced: the file already holds the new contents when the save stops at the step.
    const struct {
        const char* name;
        SaveStep step;
        bool keepOld;
        bool replaced;
    } rows[] = {
        {"Locked", SaveStep::Locked, false, false},
        {"TemporaryWritten", SaveStep::TemporaryWritten, true, false},
        {"OldFileKept", SaveStep::OldFileKept, true, false},
        {"Replaced", SaveStep::Replaced, false, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QTemporaryDir folder;
        const QString ini = settings::settingsFileInFolder(folder.path());
        ASSERT_TRUE(settings::saveSettingsFile(ini, old).ok);

        settings::SaveResult second{true, {}};  // a save that never met the first
        const auto meetSecond = [&](SaveStep step) {
            if (step == row.step)
                second = settings::saveSettingsFile(ini, other, {.lockWait = 50ms});
        };
        const settings::SaveResult first = settings::saveSettingsFile(
            ini, mine, {.keepOldFile = row.keepOld, .atStep = meetSecond});
        EXPECT_TRUE(first.ok) << first.error.toStdString();
        EXPECT_TRUE(!second.ok && second.error.contains("正在保存")) << second.error.toStdString();
        EXPECT_EQ(settings::loadSettingsFile(ini), mine);

#ifdef Q_OS_UNIX
        const pid_t child = ::fork();
        if (child == 0) {
            settings::saveSettingsFile(ini, other,
                                       {.keepOldFile = row.keepOld, .atStep = [&](SaveStep step) {
                                            if (step == row.step) ::raise(SIGKILL);
                                        }});
            ::_exit(1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status)) << "killed at the step";
        EXPECT_EQ(settings::loadSettingsFile(ini), row.replaced ? other : mine);
#else
        std::cerr << row.name << ": the killed save needs fork(), which Windows lacks\n";
#endif
        EXPECT_TRUE(settings::saveSettingsFile(ini, next, {.lockWait = 2s}).ok);
        EXPECT_EQ(settings::loadSettingsFile(ini), next);
    }
}

// An installed copy keeps set.ini in the user's configuration folder whoever runs it, even with
// one beside it; a portable copy keeps it beside itself (or in the user's folder when its own
// folder is gone). A save creates the folders it lacks for the user alone.
TEST(SettingsFileTest, InstalledInTheUsersFolderPortableBesideItself) {
    const QTemporaryDir folder;
    const QString programs = folder.filePath("bin"), beside = programs + "/set.ini";
    ASSERT_TRUE(QDir(folder.path()).mkdir("bin") && QFile::link(programs, folder.filePath("usr")));
    writeFile(beside, "[UserMsg]\r\n");
    const QString user =
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + "/set.ini";
    const struct {
        const char* name;
        QString program;
        QStringList installed;
        QString settings;
    } rows[] = {
        {"Portable", programs, {}, beside},
        {"PortableBesideAnotherInstall", programs, {folder.filePath("bin/bin")}, beside},
        {"Installed", programs, {"/nowhere/bin", programs}, user},
        {"InstalledThroughALink", folder.filePath("usr"), {programs + "/"}, user},
        {"PortableInAFolderThatIsGone", folder.filePath("gone"), {}, user},
    };
    for (const auto& row : rows)
        EXPECT_EQ(settings::settingsFileForProgram(row.program, row.installed), row.settings)
            << row.name;
#ifdef Q_OS_UNIX
    // Root runs a copy in a user's own folder: the user's set.ini. A user runs a copy in root's
    // folder that holds root's set.ini: his own (nobody can write this folder, as root can).
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(QFile::encodeName(beside).constData(), 65534, 65534), 0);
        ASSERT_EQ(::chown(QFile::encodeName(programs).constData(), 65534, 65534), 0);
        EXPECT_EQ(settings::settingsFileForProgram(programs, {}), beside) << "InTheUsersFolder";
        ASSERT_EQ(::chown(QFile::encodeName(programs).constData(), 0, 0), 0);
        ASSERT_EQ(::chown(QFile::encodeName(beside).constData(), 0, 0), 0);
        for (const QString& path : {folder.path(), programs})
            ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0755), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            const bool nobody = ::setgid(65534) == 0 && ::setuid(65534) == 0;
            ::_exit(nobody && settings::settingsFileForProgram(programs, {}) != beside ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "RootsFileBeside";
    }
#endif
    ASSERT_TRUE(settings::saveSettingsFile(folder.filePath("a/b/set.ini"), {"u", "p", {}}).ok);
#ifdef Q_OS_UNIX
    for (const char* created : {"a", "a/b"}) EXPECT_EQ(modeOf(folder.filePath(created)), 0700u);
#endif
}

}  // namespace
}  // namespace zelvo::testing
