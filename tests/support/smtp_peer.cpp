#include "support/smtp_peer.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>
#include <QThread>
#include <stdexcept>

#include "support/test_files.h"

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
    return readFile(path).trimmed();
}

}  // namespace

bool underWine() {
#ifdef Q_OS_WIN
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
#else
    return false;
#endif
}

// Made once per test program: openssl takes longer than a peer to start. The address is a DNS
// name too, because curl's certificate check over Windows' Schannel reads DNS names only. RSA, as
// Wine's certificate check fails some ECDSA signatures. Its exit status and output go to files.
QString SmtpPeer::caFile() {
    static const QTemporaryDir folder = [] {
        QTemporaryDir made;
        const QString status = made.filePath("status");
        QProcess openssl;
        openssl.start(
            QStringLiteral("/bin/sh"),
            {"-c",
             R"(to=$1; d=${to%/*}; shift; "$0" "$@" >"$to.log" 2>&1 && mkdir "$d/hashed" && )"
             R"(cp "$d/cert.pem" "$d/hashed/$("$0" x509 -hash -noout -in "$d/cert.pem").0"; )"
             R"(echo $? >"$to.tmp"; mv "$to.tmp" "$to")",
             QStringLiteral(ZELVO_TEST_OPENSSL), hostPath(status), "req", "-x509", "-newkey",
             "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=127.0.0.1", "-addext",
             "subjectAltName=IP:127.0.0.1,DNS:127.0.0.1", "-keyout",
             hostPath(made.filePath("key.pem")), "-out", hostPath(made.filePath("cert.pem"))});
        const QByteArray exitStatus = awaitFile(status, "openssl");
        openssl.waitForFinished();
        if (exitStatus != "0")
            throw std::runtime_error("openssl: " + readFile(status + ".log").toStdString());
        return made;
    }();
    return folder.filePath(QStringLiteral("cert.pem"));
}

SmtpPeer::SmtpPeer(Options options) {
    QJsonObject settings{{"events", hostPath(dir_.filePath(QStringLiteral("events.jsonl")))},
                         {"password", kPeerPassword},
                         {"cert", hostPath(caFile())},
                         {"key", hostPath(QFileInfo(caFile()).dir().filePath("key.pem"))},
                         {"login_only", options.loginOnly},
                         {"implicit", options.implicitTls},
                         {"never_accept", options.neverAccepts},
                         {"refused_mail", options.refusedMail}};
    if (!options.script.isEmpty()) settings["script"] = QString::fromUtf8(options.script);
    const QString ready = dir_.filePath(QStringLiteral("ready"));
    settings["ready"] = hostPath(ready);
    // Output goes to the test's own: a pipe nobody reads would fill and stall the peer.
    process_.setProcessChannelMode(QProcess::ForwardedChannels);
    process_.start(QStringLiteral(ZELVO_TEST_PYTHON),
                   {QStringLiteral(ZELVO_TEST_SOURCE_DIR "/support/smtp_peer.py"),
                    QString::fromUtf8(QJsonDocument(settings).toJson(QJsonDocument::Compact))});
    // The peer writes "READY <port>" once it listens.
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
    QList<QJsonObject> result;
    for (const QByteArray& line : readFile(dir_.filePath("events.jsonl")).split('\n')) {
        const QJsonObject event = QJsonDocument::fromJson(line).object();
        if (event[QStringLiteral("kind")].toString() == kind) result << event;
    }
    return result;
}

QList<QJsonObject> eventsOf(const std::optional<SmtpPeer>& peer, const QString& kind) {
    return peer ? peer->events(kind) : QList<QJsonObject>();
}

}  // namespace zelvo::testing
