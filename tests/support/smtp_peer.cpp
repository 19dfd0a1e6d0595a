#include "support/smtp_peer.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>
#include <QThread>
#include <stdexcept>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace zelvo::testing {
namespace {

constexpr int kStartLimitMs = 30'000;  // a loaded machine starts Python slowly

// The peer and openssl are programs of the host system, which the Windows test programs start
// under Wine: they get Wine's host name of a file.
QString hostPath(const QString& path) {
#ifdef Q_OS_WIN
    using ToHost = char*(CDECL*)(LPCWSTR);
    const auto toHost = reinterpret_cast<ToHost>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* const host = toHost ? toHost(reinterpret_cast<LPCWSTR>(path.utf16())) : nullptr;
    if (!host) throw std::runtime_error("no host name for " + path.toStdString());
    const QString result = QFile::decodeName(host);
    HeapFree(GetProcessHeap(), 0, host);
    return result;
#else
    return path;
#endif
}

// Waits for a file that a host program writes as its last step. Under Wine a host program runs
// detached, with no pipe to it and no handle to wait on: it reports through files.
QByteArray awaitFile(const QString& path, const char* what) {
    const QDeadlineTimer deadline(kStartLimitMs);
    while (!QFile::exists(path)) {
        if (deadline.hasExpired()) throw std::runtime_error(std::string(what) + " does not answer");
        QThread::msleep(20);
    }
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray();
}

// Runs program with arguments; its exit status and output go to files in folder.
void run(const QString& program, const QStringList& arguments, const QString& folder) {
    QProcess process;
    process.start(QStringLiteral("/bin/sh"),
                  QStringList{"-c",
                              R"(to=$1; shift; "$0" "$@" >"$to.log" 2>&1; )"
                              R"(echo $? >"$to.tmp"; mv "$to.tmp" "$to")",
                              program, hostPath(folder + "/status")} +
                      arguments);
    const QByteArray status = awaitFile(folder + "/status", "openssl");
    process.waitForFinished();
    if (status != "0") {
        QFile log(folder + "/status.log");
        log.open(QIODevice::ReadOnly);
        throw std::runtime_error(program.toStdString() + ": " + log.readAll().toStdString());
    }
}

// Made once per test program: openssl takes longer than a peer to start. The address is a DNS
// name too, because curl's certificate check over Windows' Schannel reads DNS names only. RSA, as
// Wine's certificate check fails some ECDSA signatures.
const QTemporaryDir& certificateFolder() {
    static const QTemporaryDir folder = [] {
        QTemporaryDir made;
        run(QStringLiteral(ZELVO_TEST_OPENSSL),
            {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
             "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1,DNS:127.0.0.1", "-keyout",
             hostPath(made.filePath("key.pem")), "-out", hostPath(made.filePath("cert.pem"))},
            made.path());
        return made;
    }();
    return folder;
}

}  // namespace

bool underWine() {
#ifdef Q_OS_WIN
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
#else
    return false;
#endif
}

QString SmtpPeer::caFile() {
    return certificateFolder().filePath(QStringLiteral("cert.pem"));
}

SmtpPeer::SmtpPeer(Options options) {
    const QString events = dir_.filePath(QStringLiteral("events.jsonl"));
    QStringList arguments = {QStringLiteral(ZELVO_TEST_SOURCE_DIR "/support/smtp_peer.py"),
                             "--events", hostPath(events), "--password", kPeerPassword};
    arguments << "--cert" << hostPath(caFile()) << "--key"
              << hostPath(certificateFolder().filePath("key.pem"));
    if (!options.script.isEmpty()) arguments << "--script" << QString::fromUtf8(options.script);
    if (options.loginOnly) arguments << "--login-only";
    if (options.implicitTls) arguments << "--implicit";
    if (options.neverAccepts) arguments << "--never-accept";
    const QString ready = dir_.filePath(QStringLiteral("ready"));
    arguments << "--ready" << hostPath(ready);
    // Output goes to the test's own: a pipe nobody reads would fill and stall the peer.
    process_.setProcessChannelMode(QProcess::ForwardedChannels);
    process_.start(QStringLiteral(ZELVO_TEST_PYTHON), arguments);
    const QByteArray line = awaitFile(ready, "the SMTP test peer");
    port_ = line.startsWith("READY ") ? line.mid(6).toInt() : 0;
    if (port_ <= 0) throw std::runtime_error("SMTP test peer: " + line.toStdString());
}

SmtpPeer::~SmtpPeer() {
    QFile::remove(dir_.filePath(QStringLiteral("ready")));  // the peer ends when it goes
    if (!process_.waitForFinished(10'000)) process_.kill();
    process_.waitForFinished();
}

QList<QJsonObject> SmtpPeer::events(const QString& kind) const {
    QFile file(dir_.filePath(QStringLiteral("events.jsonl")));
    QList<QJsonObject> result;
    if (!file.open(QIODevice::ReadOnly)) return result;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QJsonObject event = QJsonDocument::fromJson(line).object();
        if (event[QStringLiteral("kind")].toString() == kind) result << event;
    }
    return result;
}

}  // namespace zelvo::testing
