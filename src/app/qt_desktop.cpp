#include "app/qt_desktop.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QScreen>

#include "app/platform/platform.h"

namespace zelvo::app {

namespace {

QMessageBox::StandardButton showBox(QWidget* parent, const QString& text, const QString& title,
                                    QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
                                    const QString& details = {}) {
    QMessageBox box(parent);
    box.setWindowTitle(title);
    // File names and server replies are shown as they are, never as markup: a phone book named
    // <img width=12000 height=12000>x.txt must not make the box cover the screen.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setAccessibleName(title);
    box.setAccessibleDescription(text);
    box.setIcon(icon);
    box.setStandardButtons(buttons);
    // Esc answers Cancel where there is one, and OK otherwise, also beside a details button.
    box.setEscapeButton(buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel
                                                              : QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    if (!details.isEmpty()) box.setDetailedText(details);
    return QMessageBox::StandardButton(box.exec());
}

}  // namespace

void QtDesktop::tell(const QString& text, const QString& title, NoticeIcon icon) {
    showBox(dialogParent(), text, title,
            icon == NoticeIcon::Question ? QMessageBox::Question : QMessageBox::NoIcon,
            QMessageBox::Ok);
}

void QtDesktop::tellWithDetails(const QString& text, const QString& title, const QString& details) {
    showBox(dialogParent(), text, title, QMessageBox::Question, QMessageBox::Ok, details);
}

Answer QtDesktop::ask(const QString& text, const QString& title) {
    return showBox(dialogParent(), text, title, QMessageBox::Question,
                   QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok
               ? Answer::Ok
               : Answer::Cancel;
}

QString QtDesktop::askForText(const QString& prompt, const QString& title,
                              const QString& defaultText) {
    QInputDialog dialog(dialogParent());
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    dialog.setAccessibleName(title);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

QString QtDesktop::chooseFile(const QString& filter, const QString& initialFolder) {
    return QFileDialog::getOpenFileName(dialogParent(), QString(), initialFolder, filter);
}

bool QtDesktop::openUrl(const QUrl& url) {
    return platform::openUrl(url);
}

bool QtDesktop::openInTextEditor(const QString& path) {
    return platform::openInTextEditor(path);
}

void QtDesktop::endProgram() {
    platform::endProcess();
}

ApplicationFacts QtDesktop::applicationFacts() {
    return {QCoreApplication::applicationDirPath(), QStringLiteral("Zelvo短信发送器"),
            ZELVO_VERSION_MAJOR, ZELVO_VERSION_MINOR, ZELVO_VERSION_PATCH};
}

QSize QtDesktop::screenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize();
}

}  // namespace zelvo::app
