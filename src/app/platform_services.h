#pragma once

#include <QFileInfo>
#include <QSize>
#include <QString>

#include "recipients/phone_book.h"

class QWidget;

namespace zelvo::app {

// The icon and buttons of a message box.
enum class MessageStyle {
    OkOnly,           // no icon, OK
    QuestionOk,       // question-mark icon, OK
    QuestionOkCancel  // question-mark icon, OK and Cancel
};

// The button that closed a message box; Esc counts as Cancel where there is one.
enum class Answer { Ok, Cancel };

// How a started program's window shows; both take the focus.
enum class WindowShow { Minimized, Maximized };

struct ApplicationFacts {
    QString folder;  // folder of the executable, without a trailing separator
    QString title;
    int major = 0;
    int minor = 0;
    int revision = 0;
};

// Everything the window needs from the desktop and the operating system. The program uses
// the Qt implementation; tests use a scripted double that records each call.
class PlatformServices {
public:
    virtual ~PlatformServices() = default;

    // Modal.
    virtual Answer messageBox(const QString& text, MessageStyle style, const QString& title) = 0;
    // The same box with details that the user can open from it (the box's "显示详情..." button).
    // An implementation that has no place for details shows the box without them.
    virtual Answer messageBoxWithDetails(const QString& text, MessageStyle style,
                                         const QString& title, const QString& /*details*/) {
        return messageBox(text, style, title);
    }
    // Modal; the confirmed text, or an empty text when cancelled.
    virtual QString inputBox(const QString& prompt, const QString& title,
                             const QString& defaultText) = 0;
    // Modal open-file dialog; the chosen path, or an empty text when cancelled.
    virtual QString openFileDialog(const QString& fileName, const QString& filter,
                                   const QString& initialFolder) = 0;
    // Starts "program argument" without waiting: explorer.exe opens a web address in the
    // browser, notepad.exe opens a file in the text editor. False when it could not start.
    virtual bool startProgram(const QString& commandLine, WindowShow show) = 0;
    // File operations on the local file system. Every implementation, the doubles included,
    // works on real files, so they are shared here; an implementation may still override them.
    // Whether an ordinary file (or, with includeHidden, also a hidden one) exists at path.
    virtual bool fileExists(const QString& path, bool includeHidden) {
        const QFileInfo info(path);
        return info.isFile() && (includeHidden || !info.isHidden());
    }
    // Reads a phone book piece by piece, whatever its encoding and line ends; progress is told
    // after each piece and may stop it.
    virtual recipients::PhoneBookImport readPhoneBook(const QString& path,
                                                      const recipients::ImportProgress& progress,
                                                      qint64 pieceBytes) {
        return recipients::readPhoneBook(path, progress, pieceBytes);
    }
    // Ends the process at once; no further slot runs.
    virtual void endProgram() = 0;
    virtual ApplicationFacts applicationFacts() = 0;
    // Screen width and height in twips.
    virtual QSize screenSizeTwips() = 0;

    // The window that modal boxes belong to.
    void setDialogParent(QWidget* parent) { dialogParent_ = parent; }

protected:
    QWidget* dialogParent() const { return dialogParent_; }

private:
    QWidget* dialogParent_ = nullptr;
};

}  // namespace zelvo::app
