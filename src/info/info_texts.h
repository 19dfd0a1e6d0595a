#pragma once

#include <QString>

namespace zelvo::info {

// The bundled notices page at its section on how to report a problem.
inline constexpr const char* kReportProblemUrl = "qrc:/info/notices.html#report";

// The lines of the software information frame on the about page.
struct InfoTexts {
    QString title;
    QString version;
    QString function;
    QString design;
    QString homepage;  // empty when there is no homepage
    QString mail;      // empty when there is no contact mail
};

InfoTexts makeInfoTexts(const QString& appTitle, int major, int minor, int revision,
                        const QString& homepageUrl, const QString& contactMail);

}  // namespace zelvo::info
