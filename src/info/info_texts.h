#pragma once

#include <QString>

namespace zelvo::info {

// The bundled notices page at its section on how to report a problem.
inline constexpr const char* kReportProblemUrl = "qrc:/info/notices.html#report";

// The lines of the software information frame on the about page.
struct InfoTexts {
    QString title;     // lbltitle
    QString version;   // lblversion
    QString function;  // lblmsg1 item 0
    QString design;    // lblmsg1 item 1
    QString homepage;  // lblmsg1 item 2; empty when there is no homepage
    QString mail;      // lblmsg1 item 3; empty when there is no contact mail
};

InfoTexts makeInfoTexts(const QString& appTitle, int major, int minor, int revision,
                        const QString& homepageUrl, const QString& contactMail);

}  // namespace zelvo::info
