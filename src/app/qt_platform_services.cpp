#include "app/qt_platform_services.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QScreen>

#include "app/twips.h"

namespace zelvo::app {

Answer QtPlatformServices::messageBox(const QString& text, MessageStyle style,
                                      const QString& title) {
    return messageBoxWithDetails(text, style, title, QString());
}

Answer QtPlatformServices::messageBoxWithDetails(const QString& text, MessageStyle style,
                                                 const QString& title, const QString& details) {
    QMessageBox box(dialogParent());
    box.setWindowTitle(title);
    box.setText(text);
    box.setAccessibleName(title);
    box.setAccessibleDescription(text);
    box.setIcon(style == MessageStyle::OkOnly ? QMessageBox::NoIcon : QMessageBox::Question);
    if (style == MessageStyle::QuestionOkCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);  // also beside a details button
    }
    box.setDefaultButton(QMessageBox::Ok);
    if (!details.isEmpty()) box.setDetailedText(details);
    return box.exec() == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
}

QString QtPlatformServices::inputBox(const QString& prompt, const QString& title,
                                     const QString& defaultText) {
    QInputDialog dialog(dialogParent());
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    dialog.setAccessibleName(title);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

QString QtPlatformServices::openFileDialog(const QString& fileName, const QString& filter,
                                           const QString& initialFolder) {
    const QString start = fileName.isEmpty() ? initialFolder : initialFolder + '/' + fileName;
    return QFileDialog::getOpenFileName(dialogParent(), QString(), start, filter);
}

bool QtPlatformServices::startProgram(const QString& commandLine, WindowShow show) {
    const qsizetype space = commandLine.indexOf(QLatin1Char(' '));
    const QString program = space < 0 ? commandLine : commandLine.left(space);
    const QString argument = space < 0 ? QString() : commandLine.mid(space + 1);
    return startCommandLine(program, argument, show);
}

void QtPlatformServices::endProgram() {
    endProcessNow();
}

ApplicationFacts QtPlatformServices::applicationFacts() {
    return {QCoreApplication::applicationDirPath(), QStringLiteral("Zelvo短信发送器"),
            ZELVO_VERSION_MAJOR, ZELVO_VERSION_MINOR, ZELVO_VERSION_PATCH};
}

QSize QtPlatformServices::screenSizeTwips() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize pixels = screen ? screen->geometry().size() : QSize();
    return {pixelsToTwips(pixels.width()), pixelsToTwips(pixels.height())};
}

}  // namespace zelvo::app
