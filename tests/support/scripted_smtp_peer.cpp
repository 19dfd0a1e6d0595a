#include "support/scripted_smtp_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace zelvo::testing {
namespace {

constexpr int kPollMs = 20;                      // how soon a stopping peer notices
constexpr qsizetype kMaxLine = 4 * 1024 * 1024;  // a client flooding one line is cut off

}  // namespace

ScriptedSmtpPeer::Script ScriptedSmtpPeer::wellBehaved() {
    Script script;
    script.greeting = {"220 127.0.0.1 ESMTP scripted peer\r\n"};
    script.replies = {
        {"EHLO", {"250-127.0.0.1\r\n250-8BITMIME\r\n250 AUTH PLAIN LOGIN\r\n"}},
        {"HELO", {"250 127.0.0.1\r\n"}},
        {"AUTH", {"235 2.7.0 Authentication successful\r\n"}},
        {"MAIL", {"250 2.1.0 OK\r\n"}},
        {"RCPT", {"250 2.1.5 OK\r\n"}},
        {"DATA", {"354 End data with <CR><LF>.<CR><LF>\r\n"}},
        {".", {"250 2.0.0 OK queued\r\n"}},
        {"RSET", {"250 2.0.0 OK\r\n"}},
        {"NOOP", {"250 2.0.0 OK\r\n"}},
        {"QUIT", {"221 2.0.0 Bye\r\n", {}, false, true}},
    };
    return script;
}

ScriptedSmtpPeer::ScriptedSmtpPeer(Script script) : script_(std::move(script)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    // Port 0 lets the system choose, so no other test can take the port between choosing it
    // and listening on it.
    if (listener_ < 0 ||
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 4) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (listener_ >= 0) ::close(listener_);
        throw std::runtime_error("the scripted SMTP peer cannot listen on 127.0.0.1");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
}

ScriptedSmtpPeer::~ScriptedSmtpPeer() {
    {
        const std::lock_guard lock(waitMutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
    ::close(listener_);
}

QList<QByteArray> ScriptedSmtpPeer::commands() const {
    const std::lock_guard lock(recordMutex_);
    return commands_;
}

QList<QByteArray> ScriptedSmtpPeer::verbs() const {
    QList<QByteArray> verbs;
    for (const QByteArray& command : commands()) verbs << command.split(' ').first().toUpper();
    return verbs;
}

QList<QByteArray> ScriptedSmtpPeer::messages() const {
    const std::lock_guard lock(recordMutex_);
    return messages_;
}

void ScriptedSmtpPeer::serve() {
    while (!stopping()) {
        pollfd waiting{listener_, POLLIN, 0};
        if (::poll(&waiting, 1, kPollMs) <= 0) continue;
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) continue;
        converse(connection);
        ::close(connection);
    }
}

void ScriptedSmtpPeer::converse(int connection) {
    if (!send(connection, script_.greeting)) return;
    QByteArray buffer;
    QByteArray line;
    while (readLine(connection, buffer, line)) {
        {
            const std::lock_guard lock(recordMutex_);
            commands_ << line;
        }
        const QByteArray verb = line.split(' ').first().toUpper();
        const auto found = script_.replies.find(verb);
        const Reply reply = found != script_.replies.end()
                                ? found->second
                                : Reply{"502 5.5.2 Command not recognized\r\n"};
        if (!send(connection, reply)) return;
        if (verb != "DATA" || !reply.text.startsWith("354")) continue;

        QByteArray message;
        for (;;) {
            if (!readLine(connection, buffer, line)) return;  // gone before the end: no message
            if (line == ".") break;
            message += line + "\r\n";
        }
        {
            const std::lock_guard lock(recordMutex_);
            messages_ << message;
        }
        const auto end = script_.replies.find(".");
        if (end != script_.replies.end() && !send(connection, end->second)) return;
    }
}

bool ScriptedSmtpPeer::send(int connection, const Reply& reply) {
    do {
        if (reply.pace.count() == 0) {
            // Never blocks in send(): a client that stops reading must not keep the peer from
            // stopping.
            qsizetype sent = 0;
            while (sent < reply.text.size()) {
                if (stopping()) return false;
                pollfd writable{connection, POLLOUT, 0};
                if (::poll(&writable, 1, kPollMs) <= 0) continue;
                const ssize_t n =
                    ::send(connection, reply.text.constData() + sent,
                           size_t(reply.text.size() - sent), MSG_NOSIGNAL | MSG_DONTWAIT);
                if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) continue;
                if (n <= 0) return false;
                sent += n;
            }
        } else {
            for (const char byte : reply.text) {
                if (::send(connection, &byte, 1, MSG_NOSIGNAL) != 1) return false;
                std::unique_lock lock(waitMutex_);
                if (wake_.wait_for(lock, reply.pace, [this] { return stopping(); })) return false;
            }
        }
        if (reply.repeat && reply.pace.count() == 0) {
            // Even a flood waits a little between rounds, or the machine would do nothing else.
            std::unique_lock lock(waitMutex_);
            if (wake_.wait_for(lock, std::chrono::milliseconds(kPollMs),
                               [this] { return stopping(); }))
                return false;
        }
    } while (reply.repeat);
    if (reply.hangUp) {
        ::shutdown(connection, SHUT_RDWR);
        return false;
    }
    return true;
}

bool ScriptedSmtpPeer::readLine(int connection, QByteArray& buffer, QByteArray& line) {
    for (;;) {
        const qsizetype end = buffer.indexOf("\r\n");
        if (end >= 0) {
            line = buffer.left(end);
            buffer.remove(0, end + 2);
            return true;
        }
        if (buffer.size() > kMaxLine || stopping()) return false;
        pollfd waiting{connection, POLLIN, 0};
        if (::poll(&waiting, 1, kPollMs) <= 0) continue;
        char chunk[4096];
        const ssize_t n = ::recv(connection, chunk, sizeof chunk, 0);
        if (n <= 0) return false;
        buffer.append(chunk, n);
    }
}

}  // namespace zelvo::testing
