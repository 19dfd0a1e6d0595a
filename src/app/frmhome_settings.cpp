// The settings file: loading at start-up, saving, and the save command.
#include "app/frmhome.h"
#include "settings/settings_file.h"
#include "settings/settings_location.h"

namespace zelvo::app {

QString frmhome::settingsPath() const {
    return settings::settingsFileLocation(platform_.AppFacts().folder);
}

void frmhome::LoadSettings() {
    bool whole = true;
    settings::SettingsData data = settings::loadSettingsFile(settingsPath(), &whole);
    keepSettingsBackup_ = !whole;
    txtFrom->setText(data.user);
    txtFrom->home(false);
    txtPass->setText(data.password);
    lstphone->setEntries(std::move(data.entries));
}

bool frmhome::SaveSettings() {
    const settings::SettingsData data{txtFrom->text(), txtPass->text(), lstphone->entries()};
    const settings::SaveResult result =
        settings::saveSettingsFile(settingsPath(), data, keepSettingsBackup_);
    if (!result.ok) {
        platform_.MsgBox(result.error, kStyleQuestionOk, QStringLiteral("提示"));
        return false;
    }
    keepSettingsBackup_ = false;
    return true;
}

void frmhome::Command2_Click() {
    if (SaveSettings()) {
        platform_.MsgBox(QStringLiteral("保存设置成功"), kStyleQuestionOkCancel,
                         QStringLiteral("提示"));
    }
}

}  // namespace zelvo::app
