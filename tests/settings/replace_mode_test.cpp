// Saving over set.ini keeps the file's mode exactly, and leaves a read-only file alone. Both
// must hold as root too, where the permission bits stop nothing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>

#include "settings/settings_file.h"

namespace zelvo::settings {
namespace {

unsigned modeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

struct ModeCase {
    const char* name;
    unsigned mode;
    bool saved;  // false: refused as read-only
};
void PrintTo(const ModeCase& c, std::ostream* out) {
    *out << c.name;
}

class ReplaceModeTest : public ::testing::TestWithParam<ModeCase> {};

TEST_P(ReplaceModeTest, KeepsTheModeAndRefusesReadOnlyFiles) {
    const ModeCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = settingsFilePath(dir.path());
    const QByteArray old = "[UserMsg]\r\nUser=old\r\n";
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(old);
    }
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), c.mode), 0);

    const SaveResult result = saveSettingsFile(path, {"new", "pw", {"a,13806012345"}});
    EXPECT_EQ(result.ok, c.saved) << result.error.toStdString();
    EXPECT_EQ(modeOf(path), c.mode);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    if (c.saved) {
        EXPECT_NE(file.readAll(), old);
    } else {
        EXPECT_EQ(file.readAll(), old);
        EXPECT_TRUE(result.error.contains(QStringLiteral("只读"))) << result.error.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, ReplaceModeTest,
                         ::testing::Values(ModeCase{"OwnerOnly", 0600, true},
                                           ModeCase{"GroupReads", 0640, true},
                                           ModeCase{"OwnerMayOnlyWrite", 0200, true},
                                           ModeCase{"GroupMayOnlyWrite", 0620, true},
                                           ModeCase{"GroupMayRun", 0610, true},
                                           ModeCase{"ReadOnlyForAll", 0444, false},
                                           ModeCase{"ReadOnlyForOwner", 0400, false},
                                           ModeCase{"OthersMayWriteButNotOwner", 0466, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zelvo::settings
