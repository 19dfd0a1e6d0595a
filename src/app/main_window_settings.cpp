// The settings file: loading at start-up, saving, and the save command.
#include "app/main_window.h"
#include "settings/settings_file.h"
#include "settings/settings_location.h"

namespace zelvo::app {

QString MainWindow::settingsPath() const {
    return settings::settingsFileLocation(platform_.applicationFacts().folder,
                                          config_.installedProgramFolders);
}

void MainWindow::loadSettings() {
    settings::LoadReport report;
    settings::SettingsData data = settings::loadSettingsFile(settingsPath(), &report);
    keepSettingsBackup_ = !report.whole;
    settingsRefusal_ = report.refusal;
    accountEdit_->setText(data.user);
    accountEdit_->home(false);
    passwordEdit_->setText(data.password);
    workingRoute_ = data.implicitTls ? sms::TlsMode::Implicit : sms::TlsMode::StartTls;
    numberList_->setEntries(std::move(data.entries));
}

// What is no file at all (a folder in its place) starts empty like a first start; the save then
// says why it cannot write there.
void MainWindow::tellIfSettingsReadInPart() {
    const QString path = QDir::toNativeSeparators(settingsPath());
    if (!settingsRefusal_.isEmpty()) {
        platform_.messageBox(QStringLiteral("没有读取设置文件 %1: %2。程序将以空的设置运行.")
                                 .arg(path, settingsRefusal_),
                             MessageStyle::QuestionOk, QStringLiteral("提示"));
        return;
    }
    if (!keepSettingsBackup_ || !QFileInfo(settingsPath()).isFile()) {
        return;
    }
    platform_.messageBox(QStringLiteral("设置文件 %1 未能完整读取, 程序将使用已读出的内容继续运行. "
                                        "下次保存设置时, 原文件将保留为 set.ini.bak.")
                             .arg(path),
                         MessageStyle::QuestionOk, QStringLiteral("提示"));
}

bool MainWindow::writeSettings() {
    const settings::SettingsData data{accountEdit_->text(), passwordEdit_->text(),
                                      numberList_->entries(),
                                      workingRoute_ == sms::TlsMode::Implicit};
    const settings::SaveResult result =
        settings::saveSettingsFile(settingsPath(), data, {.keepOldFile = keepSettingsBackup_});
    if (!result.ok) {
        platform_.messageBox(result.error, MessageStyle::QuestionOk, QStringLiteral("提示"));
        return false;
    }
    keepSettingsBackup_ = false;
    return true;
}

void MainWindow::saveSettings() {
    if (writeSettings()) {
        platform_.messageBox(QStringLiteral("保存设置成功"), MessageStyle::QuestionOkCancel,
                             QStringLiteral("提示"));
    }
}

}  // namespace zelvo::app
