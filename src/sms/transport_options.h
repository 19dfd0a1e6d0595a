#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

#include "config/app_config.h"

namespace zelvo::sms {

// How a submission behaves on the wire beyond what the gateway submission says.
struct TransportOptions {
    SmtpTimeouts timeouts;
    QString caFile;  // extra CA bundle to trust, empty for the system store only
    // The system's folder of trusted certificates; empty for libcurl's own. Tests point it at an
    // empty folder.
    QString caFolder = {};
    // Gets each line of the SMTP dialogue, '>' for ours and '<' for the server's, filtered as
    // the failure report is: login data masked, no secret or control character. Unset: the
    // dialogue is not shown.
    using DialogueObserver = std::function<void(char direction, const QByteArray& line)>;
    DialogueObserver dialogueObserver = {};
};

// The options both programs send with: the build's time limits and trust.
inline TransportOptions transportOptions(const AppConfig& config) {
    return {config.smtpTimeouts, config.smtpCaFile, config.smtpCaFolder};
}

}  // namespace zelvo::sms
