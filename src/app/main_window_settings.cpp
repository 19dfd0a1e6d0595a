// The settings file: loading at start-up, saving, and the save command.
#include <QLineEdit>

#include "app/box_titles.h"
#include "app/main_window.h"
#include "settings/settings_file.h"
#include "settings/settings_location.h"

namespace zelvo::app {

QString MainWindow::settingsPath() const {
    return settings::settingsFileForProgram(platform_.applicationFacts().folder,
                                            config_.installedProgramFolders);
}

void MainWindow::loadSettings() {
    settings::LoadReport report;
    settings::SettingsData data = settings::loadSettingsFile(settingsPath(), &report);
    keepSettingsBackup_ = !report.whole;
    settingsRefusal_ = report.refusal;
    sendingPage_->accountEdit()->setText(data.user);
    sendingPage_->accountEdit()->home(false);
    sendingPage_->passwordEdit()->setText(data.password);
    workingRoute_ = data.implicitTls ? sms::TlsMode::Implicit : sms::TlsMode::StartTls;
    sendingPage_->numberList()->setEntries(std::move(data.entries));
}

// What is no file at all (a folder in its place) starts empty like a first start; the save then
// says why it cannot write there.
void MainWindow::tellIfSettingsReadInPart() {
    const QString path = QDir::toNativeSeparators(settingsPath());
    if (!settingsRefusal_.isEmpty()) {
        platform_.tell(QStringLiteral("没有读取设置文件 %1: %2。程序将以空的设置运行.")
                           .arg(path, settingsRefusal_),
                       kNoticeTitle);
        return;
    }
    if (!keepSettingsBackup_ || !QFileInfo(settingsPath()).isFile()) {
        return;
    }
    platform_.tell(QStringLiteral("设置文件 %1 未能完整读取, 程序将使用已读出的内容继续运行. "
                                  "下次保存设置时, 原文件将保留为 set.ini.bak.")
                       .arg(path),
                   kNoticeTitle);
}

bool MainWindow::writeSettings() {
    const settings::SettingsData data{
        sendingPage_->accountEdit()->text(), sendingPage_->passwordEdit()->text(),
        sendingPage_->numberList()->entries(), workingRoute_ == sms::TlsMode::Implicit};
    const settings::SaveResult result =
        settings::saveSettingsFile(settingsPath(), data, {.keepOldFile = keepSettingsBackup_});
    if (!result.ok) {
        platform_.tell(result.error, kNoticeTitle);
        return false;
    }
    keepSettingsBackup_ = false;
    return true;
}

void MainWindow::saveSettings() {
    if (writeSettings()) {
        // The box has OK and Cancel, as designed; either closes it.
        platform_.ask(QStringLiteral("保存设置成功"), kNoticeTitle);
    }
}

}  // namespace zelvo::app
