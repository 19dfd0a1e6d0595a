#include "smtp/smtp_submission.h"

#include <curl/curl.h>

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

#include "sms/dialogue_filter.h"
#include "sms/failure_report.h"
#include "sms/mail_error.h"
#include "sms/single_line.h"

namespace zelvo::smtp {

using sms::ComposedMail;
using sms::FailureCause;
using sms::FailurePlace;
using sms::GatewaySubmission;
using sms::MailError;
using sms::SmtpRoute;
using sms::TlsMode;
using sms::TransportOptions;

namespace {

constexpr qsizetype kMaxReplyShown = 200;

void ensureCurlInitialised() {
    // A function-local static runs exactly once even when the first sends race on threads.
    static const CURLcode result = curl_global_init(CURL_GLOBAL_DEFAULT);
    if (result != CURLE_OK)
        throw MailError(std::string("无法初始化网络库 / libcurl initialisation failed: ") +
                            curl_easy_strerror(result),
                        FailureCause::Setup);
}

// What a failure report may quote from the dialogue: the verb of the last command and the
// server's last reply line. AUTH arguments and the login lines after AUTH are never kept.
struct Dialogue {
    QByteArray lastCommand = {};
    QByteArray lastReply = {};
    bool loggedIn = false;  // the server accepted our AUTH
    bool withheld = false;  // the message was held back for want of a login
    bool closing = false;   // after QUIT nothing more is worth reporting
    bool greeted = false;   // the server has said something: an SMTP conversation started
    const TransportOptions::DialogueObserver* observer = nullptr;
    sms::DialogueFilter filter;      // hides the submission's secrets
    bool trustsNoAuthority = false;  // the certificate could not be checked against anything
};

struct Upload {
    const QByteArray* data;
    Dialogue* dialogue;
    qsizetype offset = 0;
};

size_t readMessage(char* buffer, size_t size, size_t count, void* user) {
    auto* upload = static_cast<Upload*>(user);
    // libcurl skips the login when the server offers no AUTH at all (or knows only HELO) and
    // goes on to MAIL. The account's mail must not go out without its login, so the message
    // is held back: the server gets an unfinished DATA and delivers nothing.
    if (!upload->dialogue->loggedIn) {
        upload->dialogue->withheld = true;
        return CURL_READFUNC_ABORT;
    }
    const size_t left = static_cast<size_t>(upload->data->size() - upload->offset);
    const size_t chunk = std::min(size * count, left);
    std::memcpy(buffer, upload->data->constData() + upload->offset, chunk);
    upload->offset += static_cast<qsizetype>(chunk);
    return chunk;
}

QByteArray lastLine(const QByteArray& text) {
    return text.trimmed().split('\n').last().trimmed();
}

int watchDialogue(CURL*, curl_infotype type, char* data, size_t size, void* user) {
    auto* dialogue = static_cast<Dialogue*>(user);
    if (type == CURLINFO_HEADER_IN) dialogue->greeted = true;
    if (type != CURLINFO_HEADER_OUT && type != CURLINFO_HEADER_IN) return 0;
    // The verbs and reply codes are read from the text as sent and received, what is kept or
    // shown from the masked text.
    const QByteArray text(data, static_cast<qsizetype>(size));
    const QByteArray shown = dialogue->filter.withoutSecrets(text);
    if (dialogue->observer) {
        const bool sent = type == CURLINFO_HEADER_OUT;
        for (const QByteArray& line : dialogue->filter.shownLines(sent, text))
            (*dialogue->observer)(sent ? '>' : '<', line);
    }
    if (dialogue->closing) return 0;
    if (type == CURLINFO_HEADER_OUT) {
        static const std::array<QByteArray, 8> kVerbs = {"EHLO", "HELO", "STARTTLS", "AUTH",
                                                         "MAIL", "RCPT", "DATA",     "RSET"};
        const QByteArray verb = text.trimmed().split(' ').first().toUpper();
        if (verb == "QUIT")
            dialogue->closing = true;
        else if (std::find(kVerbs.begin(), kVerbs.end(), verb) != kVerbs.end())
            dialogue->lastCommand = verb;
    } else {
        const QByteArray line = lastLine(text);
        // 334 lines are the server's half of a login exchange; they say nothing useful.
        if (!line.isEmpty() && !line.startsWith("334")) dialogue->lastReply = lastLine(shown);
        if (dialogue->lastCommand == "AUTH" && line.startsWith("235")) dialogue->loggedIn = true;
    }
    return 0;
}

struct Cause {
    FailureCause kind;
    const char* english;
};

Cause causeOf(CURLcode code, const Dialogue& dialogue) {
    if (dialogue.withheld)
        return {FailureCause::NoUsableLogin,
                "the server offers no login we can use, so nothing was sent"};
    if (dialogue.trustsNoAuthority)
        return {FailureCause::NoTrustedAuthority,
                "the system trusts no certificate authority, so no certificate can be verified"};
    switch (code) {
        case CURLE_COULDNT_RESOLVE_HOST:
            return {FailureCause::Resolve, "mail server not found"};
        case CURLE_COULDNT_CONNECT:
            return {FailureCause::Connect, "could not connect to the mail server"};
        case CURLE_LOGIN_DENIED:
            return {FailureCause::LoginRefused, "the server refused the login"};
        case CURLE_OPERATION_TIMEDOUT:
            return {FailureCause::Timeout, "the mail server did not answer in time"};
        case CURLE_USE_SSL_FAILED:
            return {FailureCause::NoStartTls,
                    "the server offered no STARTTLS or refused it, so the login was not sent"};
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_SSL_CACERT_BADFILE:
            return {FailureCause::Tls, "the secure connection failed"};
        default:
            break;
    }
    const bool refused = dialogue.lastReply.startsWith('4') || dialogue.lastReply.startsWith('5');
    if (refused && dialogue.lastCommand == "MAIL")
        return {FailureCause::SenderRefused, "the server refused the sender"};
    if (refused && dialogue.lastCommand == "RCPT")
        return {FailureCause::RecipientRefused, "the server refused the recipient"};
    if (refused && dialogue.lastCommand == "DATA")
        return {FailureCause::MessageRefused, "the server refused the message"};
    if (refused) return {FailureCause::Other, "the server refused the request"};
    if (code == CURLE_SEND_ERROR || code == CURLE_RECV_ERROR || code == CURLE_GOT_NOTHING)
        return {FailureCause::Dropped, "the connection to the mail server was dropped"};
    return {FailureCause::Other, "the submission failed"};
}

[[noreturn]] void throwFailure(CURLcode code, const char* errorBuffer, const Dialogue& dialogue,
                               const SmtpRoute& server) {
    const Cause cause = causeOf(code, dialogue);
    FailurePlace place{server.host, server.port, server.tls,
                       sms::presentable(dialogue.lastReply).left(kMaxReplyShown)};
    QString text = QStringLiteral("SMTP submission to %1:%2 (%3) failed: %4 (curl %5: %6")
                       .arg(server.host)
                       .arg(server.port)
                       .arg(sms::tlsModeName(server.tls))
                       .arg(QLatin1String(cause.english))
                       .arg(static_cast<int>(code))
                       .arg(QLatin1String(curl_easy_strerror(code)));
    if (errorBuffer[0] != '\0') text += QStringLiteral("; %1").arg(QString::fromUtf8(errorBuffer));
    text += QLatin1Char(')');
    if (!place.lastReply.isEmpty()) {
        text += QStringLiteral("; server's last reply");
        if (!dialogue.lastCommand.isEmpty())
            text += QStringLiteral(" (after %1)").arg(QString::fromLatin1(dialogue.lastCommand));
        text += QStringLiteral(": ") + place.lastReply;
    }
    throw MailError(text, cause.kind, std::move(place));
}

// The host as it may stand in the URL; anything that could change the URL's meaning is refused.
QByteArray urlHost(const QString& host) {
    sms::requireSingleLine(host, "SMTP server");
    const QString trimmed = host.trimmed();
    if (trimmed.contains(QLatin1Char(':'))) {  // IPv6 literal
        const QString bare =
            trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))
                ? trimmed.mid(1, trimmed.size() - 2)
                : trimmed;
        const bool valid = !bare.isEmpty() && std::all_of(bare.begin(), bare.end(), [](QChar c) {
            return c.isDigit() ||
                   (c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f')) ||
                   c == QLatin1Char(':') || c == QLatin1Char('.');
        });
        if (valid) return '[' + bare.toLatin1() + ']';
    } else {
        const QByteArray ace = QUrl::toAce(trimmed);
        const bool valid = !ace.isEmpty() && std::all_of(ace.begin(), ace.end(), [](char c) {
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                   c == '.' || c == '-' || c == '_';
        });
        if (valid) return ace;
    }
    throw MailError(QStringLiteral("邮件服务器地址无效 / invalid SMTP server name: ") + host,
                    FailureCause::InvalidInput);
}

// The certificate store libcurl is given: a bundle file, parsed whole at every handshake, and a
// folder of certificates under their hashed names, from which OpenSSL reads only the issuers a
// chain needs. Debian's update-ca-certificates writes the same authorities into both, so where
// the folder holds them the system's bundle is left out: parsing its ~150 certificates was most
// of a send's CPU time. A bundle the configuration names is always read.
struct TrustStore {
    QByteArray file;    // empty: none
    QByteArray folder;  // empty: none
};

QByteArray builtInPath(CURL* handle, CURLINFO info) {
    char* path = nullptr;
    return curl_easy_getinfo(handle, info, &path) == CURLE_OK && path ? QByteArray(path)
                                                                      : QByteArray();
}

// Whether the folder holds a certificate under a name like "5ad8a5d6.0", as OpenSSL looks
// certificates up.
bool holdsHashedCertificate(const QByteArray& folder) {
    if (folder.isEmpty()) return false;
    const auto hashed = [](const QString& name) {
        const qsizetype dot = name.indexOf(QLatin1Char('.'));
        return dot == 8 && dot + 1 < name.size() &&
               std::all_of(name.begin(), name.begin() + dot,
                           [](QChar c) {
                               return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                                      (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
                           }) &&
               std::all_of(name.begin() + dot + 1, name.end(), [](QChar c) { return c.isDigit(); });
    };
    QDirIterator entries(QString::fromLocal8Bit(folder), QDir::Files | QDir::System);
    while (entries.hasNext()) {
        entries.next();
        if (hashed(entries.fileName())) return true;
    }
    return false;
}

TrustStore trustStoreFor(CURL* handle, const TransportOptions& options) {
    TrustStore store{options.caFile.toLocal8Bit(), options.caFolder.toLocal8Bit()};
    if (store.folder.isEmpty()) store.folder = builtInPath(handle, CURLINFO_CAPATH);
    if (store.file.isEmpty() && !holdsHashedCertificate(store.folder))
        store.file = builtInPath(handle, CURLINFO_CAINFO);
    return store;
}

// Whether the store holds no certificate authority at all: no bundle file with anything in it,
// and no certificate in the hashed folder. Windows' own store is never empty.
bool trustsNoAuthority(const TrustStore& store) {
#ifdef Q_OS_WIN
    Q_UNUSED(store);
    return false;
#else
    if (!store.file.isEmpty() && QFileInfo(QString::fromLocal8Bit(store.file)).size() > 0)
        return false;
    return !holdsHashedCertificate(store.folder);
#endif
}

long responseTimeoutSeconds(std::chrono::milliseconds timeout) {
    // libcurl takes whole seconds here; round up so a short limit never becomes "no limit".
    return std::max<long>(1, static_cast<long>((timeout.count() + 999) / 1000));
}

struct CurlDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct SlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};

// A route's time until its server greets; unlimited when `budget` is zero.
struct GreetingWait {
    const Dialogue* dialogue;
    std::chrono::milliseconds budget;
    std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::now() + budget;

    bool overdue() const {
        return budget.count() > 0 && !dialogue->greeted &&
               std::chrono::steady_clock::now() >= deadline;
    }
};

// libcurl calls this on each pass over the transfer, the connect and the wait for the
// greeting included; a non-zero answer ends the transfer there, without a word to the server.
int checkGreetingWait(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const GreetingWait*>(user)->overdue() ? 1 : 0;
}

// Runs the transfer, waking when the greeting is due: libcurl's connect time-out cannot stand
// for the greeting budget, as it also covers the login that follows the greeting.
CURLcode perform(CURL* handle, const GreetingWait& wait, char* errorBuffer) {
    std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
    if (!multi || curl_multi_add_handle(multi.get(), handle) != CURLM_OK) return CURLE_FAILED_INIT;
    CURLcode result = CURLE_FAILED_INIT;
    for (int running = 1; curl_multi_perform(multi.get(), &running) == CURLM_OK;) {
        if (running == 0) {
            int left = 0;
            if (const CURLMsg* done = curl_multi_info_read(multi.get(), &left))
                result = done->data.result;
            break;
        }
        const auto untilDue = std::chrono::ceil<std::chrono::milliseconds>(
            wait.deadline - std::chrono::steady_clock::now());
        const bool waiting = wait.budget.count() > 0 && !wait.dialogue->greeted;
        const long long pause = waiting ? std::clamp<long long>(untilDue.count(), 0, 1000) : 1000;
        curl_multi_poll(multi.get(), nullptr, 0, static_cast<int>(pause), nullptr);
    }
    curl_multi_remove_handle(multi.get(), handle);
    if (result == CURLE_ABORTED_BY_CALLBACK && wait.overdue()) {
        std::snprintf(errorBuffer, CURL_ERROR_SIZE, "no greeting within %lld ms",
                      static_cast<long long>(wait.budget.count()));
        result = CURLE_OPERATION_TIMEDOUT;
    }
    return result;
}

// One submission over one connection to `server`, as submitMail describes it. A positive
// greeting budget gives up on a server that has not greeted within it. `conversed` tells
// whether an SMTP conversation started: the server greeted, and a STARTTLS route went secure.
void submitTo(const SmtpRoute& server, const GatewaySubmission& submission,
              const ComposedMail& mail, const TransportOptions& options,
              std::chrono::milliseconds greetingBudget, bool& conversed) {
    const bool implicitTls = server.tls == TlsMode::Implicit;
    const QByteArray url = (implicitTls ? "smtps://" : "smtp://") + urlHost(server.host) + ':' +
                           QByteArray::number(server.port);

    // Everything the handle points at is declared before it, so it outlives the handle's
    // clean-up, which may still talk to the server (QUIT).
    char errorBuffer[CURL_ERROR_SIZE] = {};
    Dialogue dialogue{.filter = sms::DialogueFilter(submission.login, submission.password)};
    if (options.dialogueObserver) dialogue.observer = &options.dialogueObserver;
    const GreetingWait greetingWait{&dialogue, greetingBudget};
    Upload upload{&mail.message, &dialogue};
    std::unique_ptr<curl_slist, SlistDeleter> recipients(
        curl_slist_append(nullptr, mail.envelopeTo.constData()));
    const QByteArray login = submission.login.toUtf8();
    const QByteArray password = submission.password.toUtf8();
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl || !recipients)
        throw MailError("无法初始化网络库 / curl_easy_init failed", FailureCause::Setup);
    CURL* handle = curl.get();

    curl_easy_setopt(handle, CURLOPT_URL, url.constData());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, implicitTls ? "smtps" : "smtp");
    // Closed when the transfer ends, so its QUIT still reaches watchDialogue.
    curl_easy_setopt(handle, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(handle, CURLOPT_VERBOSE, 1L);  // feeds watchDialogue, prints nothing
    curl_easy_setopt(handle, CURLOPT_DEBUGFUNCTION, watchDialogue);
    curl_easy_setopt(handle, CURLOPT_DEBUGDATA, &dialogue);
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, checkGreetingWait);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &greetingWait);

    // TLS or nothing: a server that offers no STARTTLS, or refuses it, gets no login; a failed
    // handshake fails the send.
    curl_easy_setopt(handle, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
#ifdef Q_OS_WIN
    // Schannel checks the chain against Windows' store in the handshake. Its revocation check,
    // mandatory by default, fails every send where a network blocks the authorities' revocation
    // servers; best effort still refuses a certificate known to be revoked.
    curl_easy_setopt(handle, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_REVOKE_BEST_EFFORT));
#endif
    // A bundle the configuration names replaces the system's bundle only: the system's hashed
    // folder (/etc/ssl/certs on Debian) stays in use, so both are trusted.
    const TrustStore trust = trustStoreFor(handle, options);
    curl_easy_setopt(handle, CURLOPT_CAINFO,
                     trust.file.isEmpty() ? nullptr : trust.file.constData());
    curl_easy_setopt(handle, CURLOPT_CAPATH,
                     trust.folder.isEmpty() ? nullptr : trust.folder.constData());

    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(options.timeouts.connect.count()));
    curl_easy_setopt(handle, CURLOPT_SERVER_RESPONSE_TIMEOUT,
                     responseTimeoutSeconds(options.timeouts.response));
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(options.timeouts.total.count()));

    curl_easy_setopt(handle, CURLOPT_USERNAME, login.constData());
    curl_easy_setopt(handle, CURLOPT_PASSWORD, password.constData());
    // Basic authentication only, with the initial response: some providers refuse a bare
    // "AUTH PLAIN" that waits for a challenge.
    curl_easy_setopt(handle, CURLOPT_LOGIN_OPTIONS, "AUTH=PLAIN;AUTH=LOGIN");
    curl_easy_setopt(handle, CURLOPT_SASL_IR, 1L);

    curl_easy_setopt(handle, CURLOPT_MAIL_FROM, mail.envelopeFrom.constData());
    curl_easy_setopt(handle, CURLOPT_MAIL_RCPT, recipients.get());
    curl_easy_setopt(handle, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(handle, CURLOPT_READFUNCTION, readMessage);
    curl_easy_setopt(handle, CURLOPT_READDATA, &upload);
    curl_easy_setopt(handle, CURLOPT_INFILESIZE_LARGE,
                     static_cast<curl_off_t>(mail.message.size()));

    const CURLcode result = perform(handle, greetingWait, errorBuffer);
    conversed = dialogue.greeted && result != CURLE_USE_SSL_FAILED;
    dialogue.trustsNoAuthority =
        (result == CURLE_PEER_FAILED_VERIFICATION || result == CURLE_SSL_CACERT_BADFILE) &&
        trustsNoAuthority(trust);
    if (result != CURLE_OK) throwFailure(result, errorBuffer, dialogue, server);
}

// Whether a failure leaves the next route to try: nothing was said on this one beyond, at most,
// a refused STARTTLS. A name that does not resolve is the same name on every route, and a
// failed TLS handshake is never followed by another try.
bool leavesNextRoute(const MailError& error, bool conversed) {
    switch (error.cause()) {
        case FailureCause::InvalidInput:
        case FailureCause::Setup:
        case FailureCause::Resolve:
        case FailureCause::Tls:
        case FailureCause::NoTrustedAuthority:
            return false;
        default:
            return !conversed;
    }
}

void note(const TransportOptions& options, const QString& text) {
    if (options.dialogueObserver) options.dialogueObserver('*', text.toUtf8());
}

QString routeName(const SmtpRoute& server) {
    return QStringLiteral("%1:%2 (%3)")
        .arg(server.host)
        .arg(server.port)
        .arg(sms::tlsModeName(server.tls));
}

}  // namespace

TlsMode submitMail(const GatewaySubmission& submission, const TransportOptions& options) {
    sms::requireSingleLine(submission.login, "login name");
    sms::requireSingleLine(submission.password, "password");
    if (submission.routes.isEmpty())
        throw MailError("没有设置邮件服务器 / no SMTP server is set", FailureCause::InvalidInput);
    const ComposedMail mail = sms::composeGatewayMail(submission);
    ensureCurlInitialised();
    std::unique_ptr<MailError> earlier;
    for (qsizetype i = 0; i < submission.routes.size(); ++i) {
        const SmtpRoute& route = submission.routes[i];
        const bool last = i + 1 == submission.routes.size();
        note(options, QStringLiteral("连接 %1").arg(routeName(route)));
        bool conversed = false;
        try {
            submitTo(route, submission, mail, options,
                     last ? std::chrono::milliseconds(0) : options.timeouts.firstRoute, conversed);
            return route.tls;
        } catch (MailError& error) {
            if (earlier) error.setEarlierRoute(*earlier);
            if (last || !leavesNextRoute(error, conversed)) throw;
            note(options, QStringLiteral("%1: %2, 改用 %3")
                              .arg(routeName(route), sms::failureReason(error),
                                   routeName(submission.routes[i + 1])));
            earlier = std::make_unique<MailError>(error);
        }
    }
    Q_UNREACHABLE();
}

}  // namespace zelvo::smtp
