#include <sys/stat.h>

#include <QDir>

#include "recipients/number_entry.h"
#include "window_fixture.h"

namespace zelvo::testing {
namespace {

using Kind = ScriptedPlatform::Kind;

const QString kPrompt = QStringLiteral("请输入姓名及移动手机号码,格式： 李三,13806012345");
const QString kSample = QStringLiteral("李三,13806012345");

struct AddCase {
    const char* name;
    QString typed;  // the input box's answer; empty for cancel or an emptied field
    bool added;
};

// Parameterised test names show the case name, not the bytes of the case.
void PrintTo(const AddCase& c, std::ostream* os) {
    *os << c.name;
}

class ManualEntryTest : public WindowTest, public ::testing::WithParamInterface<AddCase> {};

TEST_P(ManualEntryTest, InputIsCheckedReportedAndSaved) {
    const AddCase& c = GetParam();
    open();
    window->lstphone->setEntries({kSample});
    window->txtSubject->setText(QStringLiteral("13906054321"));
    window->SelectedCount = 1;
    platform->expectInputBox(c.typed);
    if (!c.typed.isEmpty()) {
        platform->expectMsgBox();
    }
    menuEntry("M_addphone")->trigger();

    const auto input = platform->callsOf(Kind::InputBox);
    ASSERT_EQ(input.size(), 1u);
    EXPECT_EQ(input[0].text, kPrompt);
    EXPECT_EQ(input[0].title, QStringLiteral("手动添加号码"));
    EXPECT_EQ(input[0].defaultText, kSample);

    const auto boxes = platform->callsOf(Kind::MsgBox);
    if (c.typed.isEmpty()) {
        EXPECT_TRUE(boxes.empty());
    } else {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text,
                  QStringLiteral("添加 ") + c.typed +
                      (c.added ? QStringLiteral(" 成功") : QStringLiteral(" 失败 格式错误.")));
        EXPECT_EQ(boxes[0].title, QStringLiteral("添加提示"));
        EXPECT_EQ(boxes[0].style, 0);
    }
    QStringList expected = {kSample};
    if (c.added) {
        expected << c.typed;
    }
    EXPECT_EQ(window->lstphone->entries(), expected);
    EXPECT_EQ(QFile::exists(settingsPath()), c.added);
    if (c.added) {
        EXPECT_EQ(savedEntries(folder.path()), expected);
    }
    EXPECT_EQ(window->txtSubject->text(), QStringLiteral("13906054321"));
    EXPECT_EQ(window->SelectedCount, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, ManualEntryTest,
    ::testing::Values(AddCase{"DefaultText", kSample, true},
                      AddCase{"CommaAndDigitsWithoutName", QStringLiteral(",13806012345"), true},
                      AddCase{"DigitsWithoutComma", QStringLiteral("13806012345"), false},
                      AddCase{"TenDigits", QStringLiteral("李三,1380601234"), false},
                      AddCase{"ThirteenDigits", QStringLiteral("李三,1380601234567"), true},
                      AddCase{"ElevenLetters", QStringLiteral("李三,abcdefghijk"), true},
                      AddCase{"FullWidthComma", QStringLiteral("李三，13806012345"), false},
                      AddCase{"SecondCommaCounts", QStringLiteral("李三,王,138060123"), true},
                      AddCase{"OnlyComma", QStringLiteral(","), false},
                      AddCase{"Duplicate", kSample, true},
                      AddCase{"CancelledOrEmptied", QString(), false}),
    [](const auto& info) { return std::string(info.param.name); });

using NumberListTest = WindowTest;

TEST_F(NumberListTest, FullListRefusesAManualEntry) {
    open();
    QStringList full;
    for (int i = 0; i < recipients::MaxListEntries; ++i) {
        full << QStringLiteral("n,1380601%1").arg(i, 4, 10, QLatin1Char('0'));
    }
    window->lstphone->setEntries(full);
    platform->expectInputBox(kSample);
    platform->expectMsgBox();
    menuEntry("M_addphone")->trigger();
    EXPECT_EQ(window->lstphone->count(), recipients::MaxListEntries);
    EXPECT_TRUE(platform->calls().back().text.contains(QStringLiteral("失败")));
    EXPECT_FALSE(QFile::exists(settingsPath()));
}

TEST_F(NumberListTest, ClearingAsksAndOnlyOkClearsAndSaves) {
    for (const bool ok : {false, true}) {
        for (const bool emptyList : {false, true}) {
            SCOPED_TRACE(std::string(ok ? "OK" : "Cancel") + (emptyList ? " empty" : " full"));
            QFile::remove(settingsPath());
            open();
            window->txtFrom->setText(QStringLiteral("13806012345@139.com"));
            if (!emptyList) {
                window->lstphone->setEntries({kSample, QStringLiteral("王五,13906054321")});
                clickEntry(1);
            }
            const QString subject = window->txtSubject->text();
            const qint16 count = window->SelectedCount;
            platform->expectMsgBox(ok ? app::kAnswerOk : app::kAnswerCancel);
            menuEntry("M_clsphone")->trigger();

            const auto box = platform->calls().back();
            EXPECT_EQ(box.text, QStringLiteral("您确定要清空电话列表吗?"));
            EXPECT_EQ(box.title, QStringLiteral("提示"));
            EXPECT_EQ(box.style, 33);
            EXPECT_EQ(window->lstphone->count(), ok || emptyList ? 0 : 2);
            EXPECT_EQ(QFile::exists(settingsPath()), ok);
            if (ok) {
                EXPECT_TRUE(savedEntries(folder.path()).isEmpty());
            }
            EXPECT_EQ(window->txtSubject->text(), subject);
            EXPECT_EQ(window->SelectedCount, count);
        }
    }
}

// The phone book import, over real files.
class ImportTest : public WindowTest {
protected:
    QString bookPath(const char* name = "book.txt") const { return folder.filePath(name); }

    // Runs the button or the menu entry with the dialog answering path.
    void import(const QString& path, bool viaMenu, int boxes = 0) {
        platform->expectOpenFileDialog(path);
        for (int i = 0; i < boxes; ++i) {
            platform->expectMsgBox();
        }
        if (viaMenu) {
            menuEntry("M_txt")->trigger();
        } else {
            QTest::mouseClick(window->Command4, Qt::LeftButton);
        }
        const auto dialog = platform->callsOf(Kind::OpenFileDialog).back();
        EXPECT_EQ(dialog.text, QString());
        EXPECT_EQ(dialog.title, QStringLiteral("*.txt"));
        EXPECT_EQ(dialog.defaultText, folder.path());
    }

    void openWithList() {
        open();
        window->txtFrom->setText(QStringLiteral("13806012345@139.com"));
        window->lstphone->setEntries({QStringLiteral("旧,13506012345")});
    }
};

struct BookCase {
    const char* name;
    QByteArray bytes;
    QStringList entries;
};

void PrintTo(const BookCase& c, std::ostream* os) {
    *os << c.name;
}

class ImportFileTest : public ImportTest, public ::testing::WithParamInterface<BookCase> {};

TEST_P(ImportFileTest, LinesWithACommaBecomeEntriesWholeAndInOrder) {
    const BookCase& c = GetParam();
    writeFile(bookPath(), c.bytes);
    openWithList();
    window->txtSubject->setText(QStringLiteral("13506012345"));
    window->SelectedCount = 1;
    import(bookPath(), false);
    EXPECT_EQ(window->lstphone->entries(), c.entries);
    EXPECT_EQ(window->lstphone->picks(), std::vector<bool>(std::size_t(c.entries.size()), false));
    EXPECT_EQ(window->txtSubject->text(), QStringLiteral("13506012345"));
    EXPECT_EQ(window->SelectedCount, 1);
    EXPECT_FALSE(QFile::exists(settingsPath()));  // the button does not save
}

QByteArray utf16(const QString& text, bool bigEndian) {
    return QStringEncoder(bigEndian ? QStringConverter::Utf16BE : QStringConverter::Utf16LE,
                          QStringConverter::Flag::WriteBom)
        .encode(text);
}

const QString kLi = QStringLiteral("李三,13806012345");
const QString kWang = QStringLiteral("王五,13906054321");

INSTANTIATE_TEST_SUITE_P(
    Files, ImportFileTest,
    ::testing::Values(
        BookCase{"SampleAndNameOnly", gbk(kLi + "\r\n只有名字\r\n"), {kLi}},
        BookCase{"GbkBytes", gbk(kLi + "\r\n" + kWang), {kLi, kWang}},
        BookCase{"Utf8WithoutBom", (kLi + "\n" + kWang + "\n").toUtf8(), {kLi, kWang}},
        BookCase{"Utf8WithBom", "\xEF\xBB\xBF" + (kLi + "\r\n" + kWang).toUtf8(), {kLi, kWang}},
        BookCase{"Utf16LittleEndianWithBom", utf16(kLi + "\r\n" + kWang, false), {kLi, kWang}},
        BookCase{"Utf16BigEndianWithBom", utf16(kLi + "\r\n" + kWang, true), {kLi, kWang}},
        BookCase{"Utf8BomOnly", "\xEF\xBB\xBF", {}},
        BookCase{"GbkAfterAsciiLines", gbk("a,1\r\nb,2\r\n" + kLi), {"a,1", "b,2", kLi}},
        BookCase{"EveryLineEnd",
                 gbk(kLi + "\r" + kWang + "\n\r" + kLi + "\r\r\n" + kWang + "\n"),
                 {kLi, kWang, kLi, kWang}},
        BookCase{"BlanksAndBadNumbersKept",
                 gbk("  a , 12345 \r\nx,\r\n,\r\n"),
                 {"  a , 12345 ", "x,", ","}},
        BookCase{"DuplicatesKept", gbk(kLi + "\r\n" + kLi + "\r\n"), {kLi, kLi}},
        BookCase{"FullWidthCommaSkipped", gbk(QStringLiteral("李三，13806012345\r\n")), {}},
        BookCase{"EmptyFile", QByteArray(), {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ImportTest, ImportingTwiceGivesTheEntriesOnce) {
    writeFile(bookPath(), gbk(kLi + "\r\n" + kWang));
    openWithList();
    import(bookPath(), false);
    import(bookPath(), false);
    EXPECT_EQ(window->lstphone->entries(), QStringList({kLi, kWang}));
}

TEST_F(ImportTest, MenuImportSavesAfterwardsEvenWhenTheDialogIsCancelled) {
    writeFile(bookPath(), (kLi + "\n").toUtf8());
    openWithList();
    import(bookPath(), true);
    EXPECT_EQ(savedEntries(folder.path()), QStringList{kLi});

    QFile::remove(settingsPath());
    window->lstphone->addEntry(kWang);
    import(QString(), true);
    EXPECT_EQ(savedEntries(folder.path()), QStringList({kLi, kWang}));
}

TEST_F(ImportTest, UnreadableChoicesKeepTheListAndTheSavedFile) {
    writeFile(settingsPath(),
              "[UserMsg]\r\nUser=13806012345@139.com\r\nPassword=\r\n"
              "[Phone]\r\n0=old,13506012345\r\ntotal=0\r\n");
    const QByteArray saved = readFile(settingsPath());
    const QString folderPath = folder.filePath("folder.txt");
    ASSERT_TRUE(QDir().mkdir(folderPath));
    const QString fifo = folder.filePath("pipe.txt");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString missing = folder.filePath("missing.txt");
    const QString belowAFile = folder.filePath("set.ini/book.txt");

    open();
    // /proc/self/mem: a regular file whose read fails, as nothing is mapped at offset 0.
    for (const QString& path :
         {missing, folderPath, fifo, belowAFile, QStringLiteral("/proc/self/mem")}) {
        for (const bool viaMenu : {false, true}) {
            SCOPED_TRACE(path.toStdString() + (viaMenu ? " menu" : " button"));
            import(path, viaMenu, 1);
            const auto box = platform->calls().back();
            EXPECT_EQ(box.kind, Kind::MsgBox);
            EXPECT_TRUE(box.text.contains(path)) << box.text.toStdString();
            EXPECT_EQ(box.title, QStringLiteral("提示"));
            EXPECT_EQ(window->lstphone->entries(), QStringList{"old,13506012345"});
            EXPECT_EQ(readFile(settingsPath()), saved);
        }
    }
}

TEST_F(ImportTest, LongBookKeepsTheFirstEntriesAndSaysHowManyWereLeftOut) {
    QByteArray bytes;
    for (int i = 0; i < 40000; ++i) {
        bytes += gbk(QStringLiteral("用户%1,138%2\r\n").arg(i).arg(i, 8, 10, QLatin1Char('0')));
    }
    writeFile(bookPath(), bytes);
    openWithList();
    import(bookPath(), true, 1);
    EXPECT_EQ(window->lstphone->count(), recipients::MaxListEntries);
    EXPECT_EQ(window->lstphone->entry(recipients::MaxListEntries - 1),
              QStringLiteral("用户32766,13800032766"));
    const auto box = platform->callsOf(Kind::MsgBox).back();
    EXPECT_TRUE(box.text.contains(QString::number(40000 - recipients::MaxListEntries)))
        << box.text.toStdString();
    EXPECT_EQ(savedEntries(folder.path()).size(), recipients::MaxListEntries);
}

TEST_F(NumberListTest, ViewingOpensTheSettingsFileOrSaysItIsMissing) {
    open();
    platform->expectMsgBox();
    menuEntry("M_looktxt")->trigger();
    EXPECT_EQ(platform->calls().back().text,
              QStringLiteral("找不到电话本文件,可能你未保存或丢失."));
    EXPECT_EQ(platform->calls().back().title, QStringLiteral("提示"));
    EXPECT_EQ(platform->calls().back().style, 32);

    writeFile(settingsPath(), "[UserMsg]\r\n");
    platform->expectShell();
    menuEntry("M_looktxt")->trigger();
    EXPECT_EQ(platform->calls().back().kind, Kind::Shell);
    EXPECT_EQ(platform->calls().back().text, QStringLiteral("notepad.exe ") + settingsPath());
    EXPECT_EQ(platform->calls().back().style, 3);
}

}  // namespace
}  // namespace zelvo::testing
