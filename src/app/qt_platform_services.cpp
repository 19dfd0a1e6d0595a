#include "app/qt_platform_services.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QScreen>

namespace zelvo::app {

namespace {

QMessageBox::StandardButton showBox(QWidget* parent, const QString& text, const QString& title,
                                    QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
                                    const QString& details = {}) {
    QMessageBox box(parent);
    box.setWindowTitle(title);
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

void QtPlatformServices::tell(const QString& text, const QString& title, NoticeIcon icon) {
    showBox(dialogParent(), text, title,
            icon == NoticeIcon::Question ? QMessageBox::Question : QMessageBox::NoIcon,
            QMessageBox::Ok);
}

void QtPlatformServices::tellWithDetails(const QString& text, const QString& title,
                                         const QString& details) {
    showBox(dialogParent(), text, title, QMessageBox::Question, QMessageBox::Ok, details);
}

Answer QtPlatformServices::ask(const QString& text, const QString& title) {
    return showBox(dialogParent(), text, title, QMessageBox::Question,
                   QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok
               ? Answer::Ok
               : Answer::Cancel;
}

QString QtPlatformServices::askForText(const QString& prompt, const QString& title,
                                       const QString& defaultText) {
    QInputDialog dialog(dialogParent());
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    dialog.setAccessibleName(title);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

QString QtPlatformServices::chooseFile(const QString& filter, const QString& initialFolder) {
    return QFileDialog::getOpenFileName(dialogParent(), QString(), initialFolder, filter);
}

bool QtPlatformServices::openUrl(const QUrl& url) {
    return openUrlOnDesktop(url);
}

bool QtPlatformServices::openInTextEditor(const QString& path) {
    return openInDesktopTextEditor(path);
}

void QtPlatformServices::endProgram() {
    endProcessNow();
}

ApplicationFacts QtPlatformServices::applicationFacts() {
    return {QCoreApplication::applicationDirPath(), QStringLiteral("Zelvo短信发送器"),
            ZELVO_VERSION_MAJOR, ZELVO_VERSION_MINOR, ZELVO_VERSION_PATCH};
}

QSize QtPlatformServices::screenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize();
}

}  // namespace zelvo::app
