#pragma once

#include "app/desktop.h"

namespace zelvo::app {

// The desktop's own dialogs, browser, text editor and process calls.
class QtDesktop : public Desktop {
public:
    void tell(const QString& text, const QString& title, NoticeIcon icon) override;
    void tellWithDetails(const QString& text, const QString& title,
                         const QString& details) override;
    Answer ask(const QString& text, const QString& title) override;
    QString askForText(const QString& prompt, const QString& title,
                       const QString& defaultText) override;
    QString chooseFile(const QString& filter, const QString& initialFolder) override;
    bool openUrl(const QUrl& url) override;
    bool openInTextEditor(const QString& path) override;
    void endProgram() override;
    ApplicationFacts applicationFacts() override;
    QSize screenSize() override;
};

}  // namespace zelvo::app
