#pragma once

#include <QString>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "sms/smtp_route.h"

namespace zelvo::sms {

// What went wrong with a send, as far as the program can tell. The window shows it in the
// failure box's details; the command-line sender turns it into its exit code.
enum class FailureCause {
    InvalidInput,        // a field or the configuration cannot be sent at all; nothing was tried
    Setup,               // the network library could not start
    Resolve,             // the server's name could not be resolved
    Connect,             // no connection to the server
    Tls,                 // the secure connection failed
    NoTrustedAuthority,  // the system trusts no certificate authority at all: nothing verifies
    NoStartTls,          // the server offered no STARTTLS or refused it; nothing was sent
    LoginRefused,        // the server refused the login
    NoUsableLogin,       // the server offered no login we can use; nothing was sent
    SenderRefused,       // MAIL refused
    RecipientRefused,    // RCPT refused
    MessageRefused,      // DATA or the message refused
    Timeout,             // the server did not answer in time
    Dropped,             // the connection was lost
    Other,
};

// Where on the wire a send failed. Empty for a failure before any connection was tried.
struct FailurePlace {
    QString host;
    int port = 0;
    TlsMode tls = TlsMode::StartTls;
    QString lastReply;  // the server's last reply line, printable and without the credentials
};

// Raised for every failure of a send: bad field, no server, refused login, refused sender,
// recipient or data, time-out, dropped connection. what() is a technical description in
// English (with Chinese where the input is at fault); failureDetails() in failure_report.h
// makes the report for the user. Neither ever holds the password.
class MailError : public std::runtime_error {
public:
    explicit MailError(const std::string& what, FailureCause cause = FailureCause::Other,
                       FailurePlace place = {})
        : std::runtime_error(what), cause_(cause), place_(std::move(place)) {}
    explicit MailError(const char* what, FailureCause cause = FailureCause::Other)
        : MailError(std::string(what), cause) {}
    explicit MailError(const QString& what, FailureCause cause = FailureCause::Other,
                       FailurePlace place = {})
        : MailError(what.toStdString(), cause, std::move(place)) {}

    FailureCause cause() const { return cause_; }
    const FailurePlace& place() const { return place_; }
    // The failure on the route given up before this one, where no SMTP conversation could
    // start; null when this was the first route tried.
    const MailError* earlierRoute() const { return earlier_.get(); }
    void setEarlierRoute(const MailError& earlier) {
        earlier_ = std::make_shared<const MailError>(earlier);
    }

private:
    FailureCause cause_;
    FailurePlace place_;
    std::shared_ptr<const MailError> earlier_;
};

}  // namespace zelvo::sms
