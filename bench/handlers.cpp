// Times the window's handlers on a full number list, each beside the plain file or network
// work it cannot avoid, and prints one "name=median_ns" line per figure.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QWindow>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <functional>
#include <stdexcept>

#include "app/frmhome.h"
#include "bench_platform.h"
#include "recipients/number_entry.h"
#include "stats.h"
#include "support/smtp_peer.h"

extern char** environ;

namespace zelvo::bench {
namespace {

using Clock = std::chrono::steady_clock;

double nsSince(Clock::time_point start) {
    return double(
        std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count());
}

[[noreturn]] void fail(const QString& why) {
    throw std::runtime_error(why.toStdString());
}

// 32,767 entries, the list's limit, with names as people store them ("王建国 同事厦门"), always
// the same. GBK as a Chinese Windows writes it, CR LF line ends; about 1 MB.
QByteArray makePhoneBook() {
    static const QStringList surnames =
        QStringLiteral(
            "王 李 张 刘 陈 杨 黄 赵 吴 周 徐 孙 马 朱 胡 郭 何 高 林 罗 郑 梁 谢 宋 唐 许 韩 冯 "
            "邓 曹 "
            "彭 曾 肖 田 董 袁 潘 于 蒋 蔡 余 杜 叶 程 苏 魏 吕 丁 任 沈 欧阳 司马 诸葛 上官")
            .split(u' ');
    static const QStringList given = QStringLiteral(
                                         "伟 芳 娜 秀 敏 静 丽 强 磊 军 洋 勇 艳 杰 娟 涛 明 超 霞 "
                                         "平 刚 桂 英 华 建 国 文 辉 玉 兰 "
                                         "红 梅 鹏 飞 鑫 宇 浩 然 晨 曦 思 雨 嘉 怡 俊 博 子 涵 欣 "
                                         "悦 梓 萱 一 诺 佳 琪 志 远 海 燕")
                                         .split(u' ');
    static const QStringList groups =
        QStringLiteral("同事 同学 家人 客户 朋友 邻居 老师 战友 老乡 供应商 物业 医生").split(u' ');
    static const QStringList cities =
        QStringLiteral(
            "北京 上海 广州 深圳 厦门 福州 杭州 南京 成都 武汉 西安 长沙 泉州 漳州 温州 苏州")
            .split(u' ');
    quint64 state = 20240611;
    const auto next = [&state](quint64 bound) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return (state >> 33) % bound;
    };
    QString text;
    text.reserve(900'000);
    for (int line = 0; line < recipients::MaxListEntries; ++line) {
        text += surnames[qsizetype(next(quint64(surnames.size())))];
        const int givenCount = 1 + int(next(2));
        for (int i = 0; i < givenCount; ++i) text += given[qsizetype(next(quint64(given.size())))];
        text += u' ';
        text += groups[qsizetype(next(quint64(groups.size())))];
        text += cities[qsizetype(next(quint64(cities.size())))];
        text += u',';
        text += recipients::MobilePrefixTable[next(recipients::MobilePrefixTable.size())];
        text += QString::number(next(100'000'000) + 100'000'000).right(8);
        text += u"\r\n";
    }
    QStringEncoder gbk("GB18030");
    if (!gbk.isValid()) fail(QStringLiteral("no GB18030 codec"));
    return gbk.encode(text);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        fail(QStringLiteral("cannot write %1").arg(path));
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) fail(QStringLiteral("cannot read %1").arg(path));
    return file.readAll();
}

// The floors: the same bytes through open/read/write, with nothing around them.
std::size_t plainRead(const QByteArray& path, std::vector<char>& buffer) {
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) fail(QStringLiteral("cannot open %1").arg(QString::fromLocal8Bit(path)));
    std::size_t total = 0;
    for (;;) {
        if (buffer.size() == total) buffer.resize(std::max<std::size_t>(4096, total * 2));
        const ssize_t got = ::read(fd, buffer.data() + total, buffer.size() - total);
        if (got <= 0) break;
        total += std::size_t(got);
    }
    ::close(fd);
    return total;
}

// set.ini is replaced safely (new file, flushed to disk, renamed over the old one), so its
// floor makes the same system calls with the same bytes.
void plainSafeWrite(const QByteArray& path, const QByteArray& bytes) {
    const QByteArray temp = path + ".tmp";
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) fail(QStringLiteral("cannot create %1").arg(QString::fromLocal8Bit(temp)));
    const bool ok = ::write(fd, bytes.constData(), std::size_t(bytes.size())) == bytes.size() &&
                    ::fsync(fd) == 0;
    ::close(fd);
    if (!ok || ::rename(temp.constData(), path.constData()) != 0) fail(QStringLiteral("write"));
}

void plainWrite(const QByteArray& path, const QByteArray& bytes) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0 || ::write(fd, bytes.constData(), std::size_t(bytes.size())) != bytes.size())
        fail(QStringLiteral("write"));
    ::close(fd);
}

// Runs a program and waits for it; false when it could not start or did not exit with 0.
bool runProgram(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) return false;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct Samples {
    std::vector<double> ns;
    double median() const { return zelvo::bench::median(ns); }
};

void print(const char* name, double ns) {
    std::printf("%s=%.0f\n", name, ns);
}

int run(int repeats) {
    QTemporaryDir folder;
    if (!folder.isValid()) fail(QStringLiteral("no temporary folder"));
    const QString bookPath = folder.filePath(QStringLiteral("phonebook.txt"));
    const QByteArray book = makePhoneBook();
    writeFile(bookPath, book);
    std::printf("phone_book_bytes=%lld\n", static_cast<long long>(book.size()));

    const QString login = QStringLiteral("13806012345");
    const QString password = testing::kPeerPassword;
    const testing::SmtpPeer server({});

    AppConfig config = AppConfig::builtIn();
    config.smtpHost = QStringLiteral("127.0.0.1");
    config.smtpPort = server.port();
    config.gatewayAddress = QStringLiteral("sms@139.com");
    config.mailDomainSuffix = QStringLiteral("@139.com");
    config.infoPageUrl = QStringLiteral("about:blank");
    // The handlers never touch the web view; its helper processes would only add noise.
    config.startWebEngine = false;

    BenchPlatform platform(folder.path());
    platform.openFileAnswer = bookPath;
    app::frmhome window(platform, config);
    window.show();
    QElapsedTimer waited;
    waited.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed())) {
        if (waited.elapsed() > 10'000) fail(QStringLiteral("window not shown"));
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }

    // Import: from the handler's start until the list has taken the entries and shown them.
    Samples import, importFloor;
    std::vector<char> buffer;
    const QByteArray nativeBook = QFile::encodeName(bookPath);
    for (int i = 0; i <= repeats; ++i) {
        window.lstphone->clearEntries();
        QCoreApplication::processEvents();
        const Clock::time_point start = Clock::now();
        window.Command4_Click();
        QCoreApplication::processEvents();
        const double ns = nsSince(start);
        const Clock::time_point floorStart = Clock::now();
        const std::size_t read = plainRead(nativeBook, buffer);
        const double floorNs = nsSince(floorStart);
        if (read != std::size_t(book.size())) fail(QStringLiteral("short read"));
        if (i == 0) continue;  // warm-up
        import.ns.push_back(ns);
        importFloor.ns.push_back(floorNs);
    }
    if (window.lstphone->count() != recipients::MaxListEntries || !platform.messages.isEmpty())
        fail(QStringLiteral("import did not fill the list: %1 entries")
                 .arg(window.lstphone->count()));

    // Save and load of the full list.
    window.txtFrom->setText(login + QStringLiteral("@139.com"));
    window.txtPass->setText(password);
    const QString settingsPath = folder.filePath(QStringLiteral("set.ini"));
    const QByteArray nativeSettings = QFile::encodeName(settingsPath);
    const QByteArray nativeCopy = QFile::encodeName(folder.filePath(QStringLiteral("copy.ini")));
    Samples save, saveFloor, saveCacheFloor, load, loadFloor;
    for (int i = 0; i <= repeats; ++i) {
        Clock::time_point start = Clock::now();
        if (!window.SaveSettings()) fail(QStringLiteral("SaveSettings failed"));
        const double saveNs = nsSince(start);
        const QByteArray bytes = readFile(settingsPath);
        start = Clock::now();
        plainSafeWrite(nativeCopy, bytes);
        const double saveFloorNs = nsSince(start);
        start = Clock::now();
        plainWrite(nativeCopy, bytes);
        const double saveCacheNs = nsSince(start);

        window.lstphone->clearEntries();
        window.txtFrom->clear();
        QCoreApplication::processEvents();
        start = Clock::now();
        window.LoadSettings();
        const double loadNs = nsSince(start);
        start = Clock::now();
        const std::size_t read = plainRead(nativeSettings, buffer);
        const double loadFloorNs = nsSince(start);
        if (read != std::size_t(bytes.size())) fail(QStringLiteral("short read"));
        if (window.lstphone->count() != recipients::MaxListEntries ||
            window.txtFrom->text() != login + QStringLiteral("@139.com"))
            fail(QStringLiteral("LoadSettings did not restore the list"));
        QCoreApplication::processEvents();
        if (i == 0) continue;
        save.ns.push_back(saveNs);
        saveFloor.ns.push_back(saveFloorNs);
        saveCacheFloor.ns.push_back(saveCacheNs);
        load.ns.push_back(loadNs);
        loadFloor.ns.push_back(loadFloorNs);
    }
    std::printf("settings_bytes=%lld\n", static_cast<long long>(readFile(settingsPath).size()));

    // Selection walk: 10 picks spread over the list, the last near its end.
    for (int k = 0; k < recipients::MaxSelectedNumbers; ++k)
        window.lstphone->setPicked(k * 3600 + 7, true);
    // As after a click on the last pick; setting the current entry must not toggle its pick.
    window.lstphone->selectionModel()->setCurrentIndex(
        window.lstphone->model()->index(9 * 3600 + 7, 0), QItemSelectionModel::NoUpdate);
    Samples walk;
    for (int i = 0; i <= repeats * 4; ++i) {
        const Clock::time_point start = Clock::now();
        window.lstphone_Click();
        const double ns = nsSince(start);
        if (i > 0) walk.ns.push_back(ns);
    }
    if (window.SelectedCount != recipients::MaxSelectedNumbers)
        fail(QStringLiteral("walk selected %1").arg(window.SelectedCount));

    // Send: from the click handler until the server has accepted the mail (the success box),
    // beside curl sending the very same message to the same server.
    window.txtTextbody->setText(QStringLiteral("今晚七点老地方见, 不见不散! Bring 2 tickets."));
    const QString success = QStringLiteral("短信发送成功.");
    Clock::time_point accepted;
    platform.onMsgBox = [&](const QString&) { accepted = Clock::now(); };
    const QString curl = QStandardPaths::findExecutable(QStringLiteral("curl"));
    if (curl.isEmpty()) fail(QStringLiteral("curl is not installed"));
    const QString messagePath = folder.filePath(QStringLiteral("message.eml"));
    const std::vector<std::string> curlCommand = {
        curl.toStdString(),
        "--silent",
        "--show-error",
        "--url",
        "smtp://127.0.0.1:" + std::to_string(server.port()),
        "--mail-from",
        (login + QStringLiteral("@139.com")).toStdString(),
        "--mail-rcpt",
        config.gatewayAddress.toStdString(),
        "--user",
        (login + u':' + password).toStdString(),
        "--login-options",
        "AUTH=PLAIN",
        "--sasl-ir",
        "--upload-file",
        messagePath.toStdString()};
    Samples send, sendFloor;
    for (int i = 0; i <= repeats; ++i) {
        const Clock::time_point start = Clock::now();
        window.Command1_Click();
        if (platform.messages.last() != success)
            fail(QStringLiteral("send failed: %1").arg(platform.messages.last()));
        const double ns =
            double(std::chrono::duration_cast<std::chrono::nanoseconds>(accepted - start).count());
        if (i == 0)
            writeFile(messagePath, QByteArray::fromBase64(
                                       server.events("mail").back()["raw"].toString().toLatin1()));
        const qsizetype before = server.events("mail").size();
        const Clock::time_point floorStart = Clock::now();
        const bool sent = runProgram(curlCommand);
        const double floorNs = nsSince(floorStart);
        if (!sent || server.events("mail").size() != before + 1)
            fail(QStringLiteral("curl did not send"));
        if (i == 0) continue;
        send.ns.push_back(ns);
        sendFloor.ns.push_back(floorNs);
    }

    print("import", import.median());
    print("import_floor", importFloor.median());
    print("save", save.median());
    print("save_floor", saveFloor.median());
    print("save_floor_cache", saveCacheFloor.median());
    print("load", load.median());
    print("load_floor", loadFloor.median());
    print("walk", walk.median());
    print("send", send.median());
    print("send_floor", sendFloor.median());
    return 0;
}

}  // namespace
}  // namespace zelvo::bench

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    try {
        return zelvo::bench::run(repeats);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "zelvo-bench-handlers: %s\n", error.what());
        return 1;
    }
}
