// Times the window's handlers, each beside the plain file or network work it cannot avoid, and
// prints one "name=value" line per figure (medians in ns, memory in kB).
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <stdexcept>

#include "app/crlf_text_edit.h"
#include "app/main_window.h"
#include "app/number_list_view.h"
#include "app/sending_page.h"
#include "recipients/number_entry.h"
#include "recipients/phone_book.h"
#include "settings/settings_file.h"
#include "stats.h"
#include "support/scripted_desktop.h"
#include "support/smtp_peer.h"
#include "text/text_codec.h"

extern char** environ;

namespace zelvo::bench {
namespace {

using Clock = std::chrono::steady_clock;
using testing::ScriptedDesktop;

[[noreturn]] void fail(const QString& why) {
    throw std::runtime_error(why.toStdString());
}

void check(bool condition, const char* what) {
    if (!condition) fail(QString::fromUtf8(what));
}

// The median time of `repeats` runs of work after one to warm up, beside that of floor; before
// runs untimed ahead of each.
std::pair<double, double> timed(
    int repeats, const std::function<void()>& work, const std::function<void()>& floor = [] {},
    const std::function<void()>& before = [] {}) {
    std::vector<double> ns, floorNs;
    for (int i = 0; i <= repeats; ++i) {
        before();
        for (auto [what, into] : {std::pair{&work, &ns}, std::pair{&floor, &floorNs}}) {
            const Clock::time_point start = Clock::now();
            (*what)();
            const auto took = std::chrono::duration<double, std::nano>(Clock::now() - start);
            if (i > 0) into->push_back(took.count());
        }
    }
    return {median(ns), median(floorNs)};
}

void writeFile(const QString& path, const QByteArray& bytes, int times = 1) {
    QFile file(path);
    check(file.open(QIODevice::WriteOnly), "cannot write a file");
    for (int i = 0; i < times; ++i) check(file.write(bytes) == bytes.size(), "short write");
}

// The file read in the import's pieces, and decoded as the import decodes it when asked.
qint64 readFile(const QString& path, bool decode, qint64 pieceBytes) {
    QFile file(path);
    check(file.open(QIODevice::ReadOnly | QIODevice::Unbuffered), "cannot read a file");
    QByteArray piece(pieceBytes, Qt::Uninitialized);
    text::TextDecoder decoder;
    qint64 characters = 0;
    for (qint64 got; (got = file.read(piece.data(), piece.size())) > 0;) {
        if (decode) characters += decoder.decode(QByteArrayView(piece).first(got)).size();
    }
    characters += decoder.finish().size();
    check(!decoder.hasError(), "the file does not decode");
    return characters;
}

// Resident memory of this process, now and at its peak since the last reset, in kB.
long memoryKb(const char* field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::strlen(field)));
    }
    return 0;
}

// 32,767 entries, the list's limit, with Chinese names of two or three characters, always the
// same; GBK with CR LF line ends as a Chinese Windows writes them.
QByteArray fullPhoneBook() {
    const QString surnames = QStringLiteral("王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋");
    const QString given = QStringLiteral("伟芳娜秀敏静丽强磊军洋勇艳杰娟涛明超霞平刚桂英华");
    QString text;
    for (int line = 0; line < recipients::MaxListEntries; ++line) {
        text += surnames[line % surnames.size()];
        text += given[(line / 7) % given.size()];
        if (line % 3) text += given[(line / 3) % given.size()];
        text += QStringLiteral(",%1%2\r\n")
                    .arg(recipients::MobilePrefixTable[line % 13])
                    .arg(line * 2749 % 100'000'000, 8, 10, QChar(u'0'));
    }
    return *text::encodeGb18030(text);
}

int runProgram(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.data()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int run(int repeats) {
    QTemporaryDir folder;
    check(folder.isValid(), "no temporary folder");
    const QString login = QStringLiteral("13806012345");
    const QString password = testing::kPeerPassword;
    const testing::SmtpPeer server({});
    AppConfig config = AppConfig::builtIn();
    config.smtpHost = QStringLiteral("127.0.0.1");
    config.smtpPort = server.port();
    // Trusted as the shipped program trusts the system's certificates: through a hashed folder.
    config.smtpCaFolder = testing::SmtpPeer::caFolder();
    config.gatewayAddress = QStringLiteral("sms@139.com");
    config.mailDomainSuffix = QStringLiteral("@139.com");
    config.infoPageUrl = QStringLiteral("qrc:/info/notices.html");
    ScriptedDesktop platform(folder.path());
    app::MainWindow window(platform, config);
    window.show();
    auto* const list = window.findChild<app::NumberListView*>("numberList");
    auto* const account = window.findChild<QLineEdit*>("accountEdit");
    auto* const recipients = window.findChild<app::CrLfTextEdit*>("recipientsEdit");
    auto* const message = window.findChild<app::CrLfTextEdit*>("messageEdit");
    auto* const page = window.findChild<app::SendingPage*>("sendingPage");
    check(list && account && recipients && message && page, "a control of the window is missing");
    while (!(window.windowHandle() && window.windowHandle()->isExposed()))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const auto import = [&](const QString& path, bool leftOutMessage) {
        platform.script({"file " + path});
        if (leftOutMessage) platform.expectBox();
        page->importPhoneBook();
        QCoreApplication::processEvents();
    };

    // A 400 MB phone book: from the click until the list holds the entries and the left-out
    // message shows, beside reading and decoding the file in the same pieces. Memory is the
    // peak over the window's size before the import.
    const QString largePath = folder.filePath(QStringLiteral("large.txt"));
    const QByteArray line = *text::encodeGb18030(u"张三,13800138000\r\n");
    const int lines = 400'000'000 / int(line.size());
    writeFile(largePath, line, lines);
    const long usualKb = memoryKb("VmRSS:");
    std::ofstream("/proc/self/clear_refs") << "5";  // restarts the peak from here
    const auto [large, largeFloor] = timed(
        std::max(2, repeats / 5), [&] { import(largePath, true); },
        [&] { readFile(largePath, true, config.importPieceBytes); });
    const long peakKb = memoryKb("VmHWM:");
    check(list->count() == recipients::MaxListEntries &&
              platform.calls().back().text.contains(QString::number(lines - list->count())),
          "the large import did not fill the list and count the rest");
    QFile::remove(largePath);
    std::printf("large_import=%.0f\nlarge_import_floor=%.0f\nlarge_bytes=%lld\n", large, largeFloor,
                qint64(line.size()) * lines);
    std::printf("large_extra_kb=%ld\n", peakKb - usualKb);

    const QString bookPath = folder.filePath(QStringLiteral("phonebook.txt"));
    const QByteArray book = fullPhoneBook();
    writeFile(bookPath, book);
    const auto clearList = [&] { list->clearEntries(); };
    const auto [full, fullFloor] = timed(
        repeats, [&] { import(bookPath, false); }, [&] { readFile(bookPath, false, 1 << 20); },
        clearList);
    check(list->count() == recipients::MaxListEntries, "import did not fill the list");
    std::printf("import=%.0f\nimport_floor=%.0f\nphone_book_bytes=%lld\n", full, fullFloor,
                qint64(book.size()));

    account->setText(login + config.mailDomainSuffix);
    window.findChild<QLineEdit*>("passwordEdit")->setText(password);
    const QString settingsPath = folder.filePath(QStringLiteral("set.ini"));
    const QString copyPath = folder.filePath(QStringLiteral("copy.ini"));
    QByteArray saved;
    const auto [save, saveFloor] = timed(
        repeats,
        [&] {
            check(settings::saveSettingsFile(settingsPath, page->settings()).ok, "save failed");
        },
        [&] {
            // The same calls a safe replacement makes: write, flush to disk, rename.
            if (saved.isEmpty()) {
                QFile file(settingsPath);
                check(file.open(QIODevice::ReadOnly), "cannot read set.ini");
                saved = file.readAll();
            }
            QFile copy(copyPath + QStringLiteral(".tmp"));
            check(copy.open(QIODevice::WriteOnly), "cannot write a file");
            copy.write(saved);
            check(copy.flush() && ::fsync(copy.handle()) == 0, "cannot flush");
            copy.close();
            check(::rename(QFile::encodeName(copy.fileName()), QFile::encodeName(copyPath)) == 0,
                  "cannot rename");
        });
    const auto [load, loadFloor] = timed(
        repeats, [&] { page->showSettings(settings::loadSettingsFile(settingsPath)); },
        [&] { readFile(settingsPath, true, 1 << 20); }, clearList);
    check(list->count() == recipients::MaxListEntries, "loadSettings lost entries");
    std::printf("save=%.0f\nsave_floor=%.0f\nload=%.0f\nload_floor=%.0f\nsettings_bytes=%lld\n",
                save, saveFloor, load, loadFloor, qint64(saved.size()));

    // The walk after a click on the last of 10 picks spread over the list.
    for (int k = 0; k < recipients::MaxSelectedNumbers; ++k) list->setPicked(k * 3600 + 7, true);
    list->selectionModel()->setCurrentIndex(list->model()->index(9 * 3600 + 7, 0),
                                            QItemSelectionModel::NoUpdate);
    const auto [walk, unused] = timed(repeats * 4, [&] { emit list->pickToggled(); });
    check(page->sendForm().selectedCount == recipients::MaxSelectedNumbers, "the walk lost picks");
    std::printf("walk=%.0f\n", walk);

    // A send from the click until the server's acceptance shows, beside curl sending the same
    // message to the same server.
    message->setText(QStringLiteral("今晚七点老地方见, 不见不散! Bring 2 tickets."));
    Clock::time_point shown;
    const auto send = [&] {
        platform.expectBox(app::Answer::Ok, [&](const auto&) { shown = Clock::now(); });
        const Clock::time_point start = Clock::now();
        window.send();
        check(platform.calls().back().text == QStringLiteral("短信发送成功."), "send failed");
        return std::chrono::duration<double, std::nano>(shown - start).count();
    };
    send();
    const QString messagePath = folder.filePath(QStringLiteral("message.eml"));
    writeFile(messagePath,
              QByteArray::fromBase64(server.events("mail").back()["raw"].toString().toLatin1()));
    const std::string caFile = testing::SmtpPeer::caFile().toStdString();
    std::vector<std::string> curl = {
        QStandardPaths::findExecutable(QStringLiteral("curl")).toStdString(),
        "--silent",
        "--ssl-reqd",
        "--cacert",
        caFile,
        "--url",
        "smtp://127.0.0.1:" + std::to_string(server.port()),
        "--mail-from",
        (login + config.mailDomainSuffix).toStdString(),
        "--mail-rcpt",
        config.gatewayAddress.toStdString(),
        "--user",
        (login + u':' + password).toStdString(),
        "--login-options",
        "AUTH=PLAIN",
        "--sasl-ir",
        "--upload-file",
        messagePath.toStdString()};
    std::vector<double> sends;
    const auto [unusedSend, sendFloor] = timed(
        repeats, [&] { sends.push_back(send()); },
        [&] { check(runProgram(curl) == 0, "curl did not send"); });
    sends.erase(sends.begin());  // the warm-up
    std::printf("send=%.0f\nsend_floor=%.0f\n", median(sends), sendFloor);

    // The same send over implicit TLS, beside curl sending over SMTPS, from a window whose
    // first send found the STARTTLS port refused and which has gone straight to SMTPS since;
    // and a send from a new window whose STARTTLS port is refused.
    const testing::SmtpPeer smtps({.implicitTls = true});
    AppConfig closed = config;
    closed.smtpPort = 1;  // nothing listens there: refused at once
    closed.smtpsPort = smtps.port();
    QTemporaryDir closedFolder;
    ScriptedDesktop closedPlatform(closedFolder.path());
    std::unique_ptr<app::MainWindow> fresh;
    const auto openFresh = [&] {
        fresh = std::make_unique<app::MainWindow>(closedPlatform, closed);
        fresh->findChild<QLineEdit*>("accountEdit")->setText(account->text());
        fresh->findChild<QLineEdit*>("passwordEdit")->setText(password);
        recipients::EntryList entries;
        entries.append(QStringLiteral("李三,") + login);
        auto* const freshList = fresh->findChild<app::NumberListView*>("numberList");
        freshList->setEntries(std::move(entries));
        freshList->setPicked(0, true);
        emit freshList->pickToggled();
        fresh->findChild<app::CrLfTextEdit*>("messageEdit")->setText(message->text());
    };
    const auto sendFresh = [&] {
        closedPlatform.expectBox();
        fresh->send();
        check(closedPlatform.calls().back().text == QStringLiteral("短信发送成功."),
              "send over SMTPS failed");
    };
    std::vector<std::string> curlSmtps = curl;
    *(std::find(curlSmtps.begin(), curlSmtps.end(), "--url") + 1) =
        "smtps://127.0.0.1:" + std::to_string(smtps.port());
    openFresh();
    const auto [implicit, implicitFloor] =
        timed(repeats, sendFresh, [&] { check(runProgram(curlSmtps) == 0, "curl did not send"); });
    const auto [fallback, unusedFloor] = timed(
        repeats, sendFresh, [] {}, openFresh);
    check(smtps.events("mail").size() == qsizetype(3 * (repeats + 1)),
          "not every mail arrived over SMTPS");
    std::printf("send_implicit=%.0f\nsend_implicit_floor=%.0f\nsend_fallback=%.0f\n", implicit,
                implicitFloor, fallback);

    // zelvo-sms-send as a whole process, from start to exit, sending the same message.
    const QString passwordPath = folder.filePath(QStringLiteral("password.txt"));
    writeFile(passwordPath, password.toUtf8());
    // The command refuses a password file that others can read.
    check(QFile::setPermissions(passwordPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner),
          "cannot narrow the password file's mode");
    const QDir benchFolder(QCoreApplication::applicationDirPath());
    const std::vector<std::string> command = {
        benchFolder.filePath("zelvo-bench-send").toStdString(),
        std::to_string(server.port()),
        config.smtpCaFolder.toStdString(),
        "--from",
        (login + config.mailDomainSuffix).toStdString(),
        "--password-file",
        passwordPath.toStdString(),
        recipients->text().toStdString(),
        message->text().toStdString()};
    // Its floor loads the same libraries and sends the same mail; curl, which loads no Qt, is
    // timed beside them for reference.
    const std::vector<std::string> floorCommand = {
        benchFolder.filePath("zelvo-bench-send-floor").toStdString(),
        std::to_string(server.port()),
        login.toStdString(),
        password.toStdString(),
        (login + config.mailDomainSuffix).toStdString(),
        config.gatewayAddress.toStdString(),
        messagePath.toStdString(),
        caFile};
    std::vector<double> curlRuns;
    const auto [process, processFloor] = timed(
        repeats, [&] { check(runProgram(command) == 0, "zelvo-sms-send did not send"); },
        [&] { check(runProgram(floorCommand) == 0, "the floor program did not send"); },
        [&] {
            const Clock::time_point start = Clock::now();
            check(runProgram(curl) == 0, "curl did not send");
            curlRuns.push_back(
                std::chrono::duration<double, std::nano>(Clock::now() - start).count());
        });
    curlRuns.erase(curlRuns.begin());  // the warm-up
    std::printf("send_process=%.0f\nsend_process_floor=%.0f\nsend_process_curl=%.0f\n", process,
                processFloor, median(curlRuns));
    return 0;
}

}  // namespace
}  // namespace zelvo::bench

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    try {
        return zelvo::bench::run(argc > 1 ? std::max(1, std::atoi(argv[1])) : 15);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "zelvo-bench-handlers: %s\n", error.what());
        return 1;
    }
}
