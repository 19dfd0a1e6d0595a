#pragma once

#include <QString>

namespace zelvo::info {

// The lines of the software information frame on the about page.
struct InfoTexts {
    QString title;     // lbltitle
    QString version;   // lblversion
    QString function;  // lblmsg1 item 0
    QString design;    // lblmsg1 item 1
    QString homepage;  // lblmsg1 item 2
    QString mail;      // lblmsg1 item 3
};

InfoTexts makeInfoTexts(const QString& appTitle, int major, int minor, int revision,
                        const QString& homepageUrl, const QString& contactMail);

}  // namespace zelvo::info
