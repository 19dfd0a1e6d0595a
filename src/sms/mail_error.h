#pragma once

#include <QString>
#include <stdexcept>
#include <string>

namespace zelvo::sms {

// What went wrong with a send, as far as the program can tell. The window shows it in the
// failure box's details; the command-line sender turns it into its exit code.
enum class FailureCause {
    InvalidInput,      // a field or the configuration cannot be sent at all; nothing was tried
    Setup,             // the network library could not start
    Resolve,           // the server's name could not be resolved
    Connect,           // no connection to the server
    Tls,               // the secure connection failed
    LoginRefused,      // the server refused the login
    NoUsableLogin,     // the server offered no login we can use; nothing was sent
    SenderRefused,     // MAIL refused
    RecipientRefused,  // RCPT refused
    MessageRefused,    // DATA or the message refused
    Timeout,           // the server did not answer in time
    Dropped,           // the connection was lost
    Other,
};

// Raised for every failure of a send: bad field, no server, refused login, refused sender,
// recipient or data, time-out, dropped connection. what() is the whole report for the user;
// it never holds the password.
class MailError : public std::runtime_error {
public:
    explicit MailError(const std::string& what, FailureCause cause = FailureCause::Other)
        : std::runtime_error(what), cause_(cause) {}
    explicit MailError(const char* what, FailureCause cause = FailureCause::Other)
        : MailError(std::string(what), cause) {}
    explicit MailError(const QString& what, FailureCause cause = FailureCause::Other)
        : MailError(what.toStdString(), cause) {}

    FailureCause cause() const { return cause_; }

private:
    FailureCause cause_;
};

}  // namespace zelvo::sms
