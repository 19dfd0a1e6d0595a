#pragma once

#include <QSize>
#include <QString>

class QUrl;
class QWidget;

namespace zelvo::app {

// The button that closed a question; Esc counts as Cancel.
enum class Answer { Ok, Cancel };

// The icon of a box that only tells something: the program's notices show a question mark, the
// results of adding a number by hand none.
enum class NoticeIcon { Question, None };

struct ApplicationFacts {
    QString folder;  // folder of the executable, without a trailing separator
    QString title;
    int major = 0;
    int minor = 0;
    int revision = 0;
};

// The window's seam to the desktop: every box, dialog, browser, editor and process call it makes,
// named for what it does. The program runs on QtDesktop; tests run on a scripted double that
// records each call and answers from a script. What differs by operating system is not here but
// in app/platform/platform.h.
class Desktop {
public:
    virtual ~Desktop() = default;

    // A modal box with an OK button.
    virtual void tell(const QString& text, const QString& title,
                      NoticeIcon icon = NoticeIcon::Question) = 0;
    // The same box with details that the user can open from it (its "显示详情..." button).
    virtual void tellWithDetails(const QString& text, const QString& title,
                                 const QString& details) = 0;
    // A modal question with OK and Cancel.
    virtual Answer ask(const QString& text, const QString& title) = 0;
    // A modal box with a line to type in; the confirmed text, or an empty text when cancelled.
    virtual QString askForText(const QString& prompt, const QString& title,
                               const QString& defaultText) = 0;
    // A modal open-file dialog; the chosen path, or an empty text when cancelled.
    virtual QString chooseFile(const QString& filter, const QString& initialFolder) = 0;
    // Opens a web address in the desktop's browser without waiting; false when it could not.
    virtual bool openUrl(const QUrl& url) = 0;
    // Opens a file in the desktop's text editor without waiting; false when it could not.
    virtual bool openInTextEditor(const QString& path) = 0;
    // Ends the process at once; no further slot runs.
    virtual void endProgram() = 0;
    virtual ApplicationFacts applicationFacts() = 0;
    // The primary screen's size in device-independent pixels.
    virtual QSize screenSize() = 0;

    // The window that modal boxes belong to.
    void setDialogParent(QWidget* parent) { dialogParent_ = parent; }

protected:
    QWidget* dialogParent() const { return dialogParent_; }

private:
    QWidget* dialogParent_ = nullptr;
};

}  // namespace zelvo::app
