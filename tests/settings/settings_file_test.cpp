#include "settings/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <optional>
#include <random>

namespace zelvo::settings {

// Lets failed comparisons show the data.
void PrintTo(const SettingsData& data, std::ostream* out) {
    *out << data.user.toStdString() << " | " << data.password.toStdString() << " | "
         << data.entries.join(u'|').toStdString();
}

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

unsigned modeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 0777 : 0;
}

TEST(SettingsFile, PathIsSetIniInTheFolder) {
    EXPECT_EQ(settingsFilePath("/opt/zelvo"), "/opt/zelvo/set.ini");
    EXPECT_EQ(settingsFilePath("/opt/zelvo/"), "/opt/zelvo/set.ini");
    EXPECT_EQ(settingsFilePath("/"), "/set.ini");
}

TEST(SettingsFile, LoadsFilesAsSavedAndAsEditedByHand) {
    const QByteArray account = "[UserMsg]\r\nUser=u@139.com\r\nPassword=p\r\n";
    const SettingsData accountOnly{"u@139.com", "p", {}};
    const SettingsData threeEntries{"u@139.com", "p", {"a", "b", "c"}};
    const auto withList = [&](const QByteArray& list) { return account + "[Phone]\r\n" + list; };
    struct Case {
        const char* name;
        QByteArray bytes;
        SettingsData expected;
    };
    const Case cases[] = {
        {"empty list", withList("total=-1\r\n"), accountOnly},
        {"gaps give empty entries",
         withList("0=a\r\n2=c\r\ntotal=2\r\n"),
         {"u@139.com", "p", {"a", "", "c"}}},
        {"keys out of order", withList("2=c\r\n0=a\r\n1=b\r\ntotal=2\r\n"), threeEntries},
        {"blanks in total", withList("0=a\r\n1=b\r\n2=c\r\ntotal=\" 2 \"\r\n"), threeEntries},
        {"plus sign", withList("0=a\r\n1=b\r\n2=c\r\ntotal=+2\r\n"), threeEntries},
        {"quotes",
         withList("0='a'\r\n1=\"\"b\"\"\r\n2=\"c'\r\n3=\"\r\ntotal=3\r\n"),
         {"u@139.com", "p", {"a", "\"b\"", "\"c'", "\""}}},
        {"no Phone section", account, accountOnly},
        {"letters in total", withList("0=a\r\ntotal=abc\r\n"), accountOnly},
        {"empty total", withList("0=a\r\ntotal=\r\n"), accountOnly},
        {"fraction", withList("0=a\r\ntotal=1.5\r\n"), accountOnly},
        {"hexadecimal", withList("0=a\r\ntotal=0x10\r\n"), accountOnly},
        {"above 16 bits", withList("0=a\r\ntotal=32768\r\n"), accountOnly},
        {"below 16 bits", withList("0=a\r\ntotal=-32769\r\n"), accountOnly},
        {"malformed entry and password as typed",
         "[UserMsg]\r\nPassword=\"  p=;\"x\" \"\r\n[Phone]\r\n0=a,,12x\r\ntotal=0\r\n",
         {"", "  p=;\"x\" ", {"a,,12x"}}},
        {"GBK name as Windows writes it",
         withList("0=\xC0\xEE\xC8\xFD,13806012345\r\ntotal=0\r\n"),
         {"u@139.com", "p", {QStringLiteral("李三,13806012345")}}},
        {"edited by hand",
         "; mine\nUser=x\n[ userMSG ]\n user = u@139.com \nPASSWORD=p\nuser=y\n[PHONE]\n; first\n"
         "0 = a \nno equals sign\nTOTAL = 1 \n0=z\n[Phone] ; again\n0=w\n1=w\n",
         {"u@139.com", "p", {"a", ""}}},
        {"UTF-8 with byte order mark",
         "\xEF\xBB\xBF[UserMsg]\nUser=\xE6\x9D\x8E\n",
         {QStringLiteral("李"), "", {}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("set.ini");
        writeFile(path, c.bytes);
        EXPECT_EQ(loadSettingsFile(path), c.expected);
    }
}

TEST(SettingsFile, MissingOrOddFileLoadsEmpty) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.ini"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("fifo.ini")).constData(), 0600), 0);
    for (const char* name : {"missing.ini", "folder.ini", "fifo.ini"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(loadSettingsFile(dir.filePath(name)), SettingsData{});
    }
}

TEST(SettingsFile, WritesExactBytes) {
    struct Case {
        const char* name;
        std::optional<SettingsData> before;
        SettingsData data;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"empty list",
         std::nullopt,
         {"u", "p", {}},
         "[UserMsg]\r\nUser=u\r\nPassword=p\r\n[Phone]\r\ntotal=-1\r\n"},
        {"3 entries over 5",
         SettingsData{"old", "old", {"1", "2", "3", "4", "5"}},
         {"u", " p\"", {QStringLiteral("李三,13806012345"), "b", "c"}},
         "[UserMsg]\r\nUser=u\r\nPassword=\" p\"\"\r\n[Phone]\r\n"
         "0=\xC0\xEE\xC8\xFD,13806012345\r\n1=b\r\n2=c\r\ntotal=2\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = settingsFilePath(dir.path());
        if (c.before) {
            ASSERT_TRUE(saveSettingsFile(path, *c.before).ok);
        }
        const SaveResult result = saveSettingsFile(path, c.data);
        EXPECT_TRUE(result.ok) << result.error.toStdString();
        EXPECT_EQ(readFile(path), c.bytes);
        EXPECT_EQ(loadSettingsFile(path), c.data);
        EXPECT_FALSE(QFileInfo::exists(path + ".tmp"));
    }
}

TEST(SettingsFile, RandomTextSurvivesSaveAndLoad) {
    const QStringList pieces = {"a", "Z", "7",  ",",  " ", "\t", "\"", "'",  "=",   ";",
                                "[", "]", "李", "三", "€", "ǅ",  "😀",  "𠀀", "鿕", "　"};
    std::mt19937 random(20240611);
    const auto text = [&](int maxPieces) {
        QString s;
        for (int n = std::uniform_int_distribution(0, maxPieces)(random); n > 0; --n) {
            s += pieces[std::uniform_int_distribution<qsizetype>(0, pieces.size() - 1)(random)];
        }
        return s;
    };
    QTemporaryDir dir;
    const QString path = settingsFilePath(dir.path());
    for (int round = 0; round < 20; ++round) {
        SettingsData data{text(20), text(20), {}};
        for (int i = std::uniform_int_distribution(0, 60)(random); i > 0; --i) {
            data.entries << text(30);
        }
        data.entries << " " + QString(1000, u'长') + "\" ";
        ASSERT_TRUE(saveSettingsFile(path, data).ok);
        ASSERT_EQ(loadSettingsFile(path), data) << "round " << round;
    }
}

TEST(SettingsFile, FailedSaveKeepsTheOldFileAndNamesThePath) {
    const QByteArray old = "[UserMsg]\r\nUser=old\r\n";
    struct Case {
        const char* name;
        const char* saveTo;
        const char* oldFile;  // written with `old` before the save, when set
        const char* folder;   // made before the save, when set
        qsizetype entries = 1;
    };
    const Case cases[] = {
        {"folder path is a file", "app/set.ini", "app", nullptr},
        {"folder at the target", "set.ini", nullptr, "set.ini"},
        {"folder at the temporary file", "set.ini", "set.ini", "set.ini.tmp"},
        {"list too long", "set.ini", "set.ini", nullptr, kMaxSavedEntries + 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir tmp;
        const QDir dir(tmp.path());
        if (c.oldFile) writeFile(dir.filePath(c.oldFile), old);
        if (c.folder) {
            ASSERT_TRUE(dir.mkdir(c.folder));
        }
        const QString path = dir.filePath(c.saveTo);
        const SaveResult result =
            saveSettingsFile(path, {"new", "new", QStringList(c.entries, "e")});
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.error.contains(QDir::toNativeSeparators(path)))
            << result.error.toStdString();
        if (c.oldFile) {
            EXPECT_EQ(readFile(dir.filePath(c.oldFile)), old);
        }
    }
}

TEST(SettingsFile, NewFileIsPrivateAndReplacedFileKeepsItsMode) {
    QTemporaryDir dir;
    const QString path = settingsFilePath(dir.path());
    ASSERT_TRUE(saveSettingsFile(path, {"u", "p", {}}).ok);
    EXPECT_EQ(modeOf(path), 0600u);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    ASSERT_TRUE(saveSettingsFile(path, {"u", "p2", {}}).ok);
    EXPECT_EQ(modeOf(path), 0640u);
}

TEST(SettingsFile, SymbolicLinkStaysAndItsTargetIsWritten) {
    for (const bool targetExists : {true, false}) {
        SCOPED_TRACE(targetExists ? "existing target" : "dangling link");
        QTemporaryDir dir;
        ASSERT_TRUE(QDir(dir.path()).mkdir("real"));
        const QString target = dir.filePath("real/target.ini");
        if (targetExists) writeFile(target, "[UserMsg]\r\nUser=old\r\n");
        const QString link = settingsFilePath(dir.path());
        ASSERT_TRUE(QFile::link("real/target.ini", link));
        const SettingsData data{"u", "p", {"a"}};
        ASSERT_TRUE(saveSettingsFile(link, data).ok);
        EXPECT_TRUE(QFileInfo(link).isSymbolicLink());
        EXPECT_EQ(QFileInfo(link).symLinkTarget(), target);
        EXPECT_EQ(loadSettingsFile(target), data);
        if (!targetExists) {
            EXPECT_EQ(modeOf(target), 0600u);
        }
    }
}

}  // namespace
}  // namespace zelvo::settings
