#pragma once

#include <QString>
#include <QStringList>
#include <chrono>

namespace zelvo {

// Time limits of one SMTP submission. libcurl's own defaults wait minutes or for ever.
struct SmtpTimeouts {
    std::chrono::milliseconds connect{30'000};   // TCP connect and TLS handshake
    std::chrono::milliseconds response{60'000};  // each server reply
    std::chrono::milliseconds total{60'000};     // the whole submission
    // A route that another follows is given up when it has not greeted within this: a network
    // that closes a port often drops the connection attempts rather than refusing them.
    std::chrono::milliseconds firstRoute{8'000};
};

// Every fixed address the program uses. The window takes one of these through its
// constructor, so tests point it at local servers and pages.
struct AppConfig {
    QString smtpHost;
    int smtpPort = 25;    // STARTTLS, tried first
    int smtpsPort = 465;  // TLS from the first byte, where the first port is closed
    QString gatewayAddress;
    QString mailDomainSuffix;
    QString infoPageUrl;
    QString homepageUrl;
    QString feedbackUrl;
    QString registrationUrl;
    QString contactMail;
    // Where an installed copy's programs lie; a copy elsewhere is portable and may keep set.ini
    // beside itself.
    QStringList installedProgramFolders;
    SmtpTimeouts smtpTimeouts;
    // Extra CA bundle to trust besides the system store; empty in the shipped program.
    QString smtpCaFile;
    // The system's folder of trusted certificates; empty in the shipped program (libcurl's own).
    QString smtpCaFolder;
    // How long a phone book import runs before it shows its progress and a way to stop it, and
    // how much of the file it reads and decodes at a time. Tests lower both.
    std::chrono::milliseconds importProgressDelay{500};
    qint64 importPieceBytes = 1024 * 1024;

    // The values chosen at build time.
    static AppConfig builtIn();
};

}  // namespace zelvo
