#pragma once

#include <QByteArray>
#include <QList>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace zelvo::testing {

// A raw SMTP peer on 127.0.0.1 that answers from a script, for servers that misbehave in ways a
// real server library will not: wrong greetings, missing extensions, replies that drip, never
// end, are not SMTP at all or are far too long. It takes one connection at a time and records
// every command line and every complete message it receives.
class ScriptedSmtpPeer {
public:
    struct Reply {
        QByteArray text;                    // sent as is; give the CRLFs yourself
        std::chrono::milliseconds pace{0};  // > 0: one byte at a time, this far apart
        bool repeat = false;                // sent again and again until the client leaves
        bool hangUp = false;                // the connection is closed after the reply
    };
    struct Script {
        Reply greeting;
        // By upper-case command verb; "." is the reply to a complete message. A verb without
        // a reply gets "502 5.5.2 Command not recognized".
        std::map<QByteArray, Reply> replies;
    };

    // A server that offers PLAIN and LOGIN and accepts whatever it is sent.
    static Script wellBehaved();

    explicit ScriptedSmtpPeer(Script script);
    ~ScriptedSmtpPeer();
    ScriptedSmtpPeer(const ScriptedSmtpPeer&) = delete;
    ScriptedSmtpPeer& operator=(const ScriptedSmtpPeer&) = delete;

    int port() const { return port_; }
    // Command lines without their CRLF, in the order received.
    QList<QByteArray> commands() const;
    // The verbs of commands() in upper case.
    QList<QByteArray> verbs() const;
    // Each message that ended with the "." line, as sent (still dot-stuffed).
    QList<QByteArray> messages() const;

private:
    void serve();
    void converse(int connection);
    bool send(int connection, const Reply& reply);
    bool readLine(int connection, QByteArray& buffer, QByteArray& line);
    bool stopping() const { return stop_.load(); }

    Script script_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::mutex waitMutex_;
    std::condition_variable wake_;
    mutable std::mutex recordMutex_;
    QList<QByteArray> commands_;
    QList<QByteArray> messages_;
    std::thread thread_;
};

}  // namespace zelvo::testing
