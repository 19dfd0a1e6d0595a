#include "support/smtp_peer.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>
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

}  // namespace

// Made once per test program: openssl takes longer than a peer to start. The address is a DNS
// name too, because curl's certificate check over Windows' Schannel reads DNS names only.
QString SmtpPeer::caFile() {
    static const QTemporaryDir folder = [] {
        QTemporaryDir made;
        QProcess openssl;
        openssl.setProcessChannelMode(QProcess::MergedChannels);
        openssl.start(
            QStringLiteral(ZELVO_TEST_OPENSSL),
            {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
             "-days", "2", "-subj", "/CN=127.0.0.1", "-addext",
             "subjectAltName=IP:127.0.0.1,DNS:127.0.0.1", "-keyout",
             hostPath(made.filePath("key.pem")), "-out", hostPath(made.filePath("cert.pem"))});
        if (!openssl.waitForFinished(kStartLimitMs) || openssl.exitCode() != 0)
            throw std::runtime_error("openssl: " + openssl.readAll().toStdString());
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
                         {"never_accept", options.neverAccepts}};
    if (!options.script.isEmpty()) settings["script"] = QString::fromUtf8(options.script);
    // Stderr goes to the test's own: a pipe nobody reads would fill and stall the peer.
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QStringLiteral(ZELVO_TEST_PYTHON),
                   {QStringLiteral(ZELVO_TEST_SOURCE_DIR "/support/smtp_peer.py"),
                    QString::fromUtf8(QJsonDocument(settings).toJson(QJsonDocument::Compact))});
    const QDeadlineTimer deadline(kStartLimitMs);
    while (!process_.canReadLine()) {
        if (deadline.hasExpired() || process_.state() == QProcess::NotRunning)
            throw std::runtime_error("the SMTP test peer did not start");
        process_.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
    }
    // The peer says "READY <port>" once it listens.
    const QByteArray line = process_.readLine().trimmed();
    port_ = line.startsWith("READY ") ? line.mid(6).toInt() : 0;
    if (port_ <= 0) throw std::runtime_error("SMTP test peer: " + line.toStdString());
}

SmtpPeer::~SmtpPeer() {
    process_.closeWriteChannel();  // the peer ends when its input closes
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
