// The number list: picking recipients, adding and clearing entries, importing a phone book
// and viewing the settings file.
#include <QFileInfo>

#include "app/frmhome.h"
#include "app/import_progress.h"
#include "recipients/number_entry.h"
#include "recipients/phone_book.h"
#include "recipients/selection_walk.h"

namespace zelvo::app {

namespace {
const QString kErrorTitle = QStringLiteral("错误提示");
const QString kAddTitle = QStringLiteral("添加提示");
const QString kNoticeTitle = QStringLiteral("提示");
}  // namespace

void frmhome::lstphone_Click() {
    using recipients::WalkRejection;
    const recipients::SelectionOutcome outcome = recipients::runSelectionWalk(
        lstphone->entries(), lstphone->picks(), lstphone->currentRow());
    if (outcome.recipientText) {
        txtSubject->setText(*outcome.recipientText);
    }
    SelectedCount = qint16(outcome.selectedCount);

    const auto clearRejectedPicks = [&] {
        for (const int row : outcome.deselect) {
            lstphone->setPicked(row, false);
        }
    };
    if (outcome.rejection == WalkRejection::None) {
        return;
    }
    // The limit takes back the pick before it speaks; a wrong number is named first.
    if (outcome.rejection == WalkRejection::Limit) {
        clearRejectedPicks();
    }
    platform_.MsgBox(recipients::rejectionMessage(outcome.rejection), kStyleQuestionOk,
                     kErrorTitle);
    if (outcome.rejection != WalkRejection::Limit) {
        clearRejectedPicks();
    }
}

void frmhome::M_addphone_Click() {
    const QString entry =
        platform_.InputBox(QStringLiteral("请输入姓名及移动手机号码,格式： 李三,13806012345"),
                           QStringLiteral("手动添加号码"), QStringLiteral("李三,13806012345"));
    if (entry.isEmpty()) {
        return;
    }
    if (!recipients::passesManualEntryFormat(entry)) {
        platform_.MsgBox(QStringLiteral("添加 ") + entry + QStringLiteral(" 失败 格式错误."),
                         kStyleOkOnly, kAddTitle);
        return;
    }
    if (lstphone->count() >= recipients::MaxListEntries) {
        platform_.MsgBox(QStringLiteral("添加 %1 失败 号码列表已满(最多 %2 个号码).")
                             .arg(entry)
                             .arg(recipients::MaxListEntries),
                         kStyleOkOnly, kAddTitle);
        return;
    }
    lstphone->addEntry(entry);
    platform_.MsgBox(QStringLiteral("添加 ") + entry + QStringLiteral(" 成功"), kStyleOkOnly,
                     kAddTitle);
    SaveSettings();
}

void frmhome::M_clsphone_Click() {
    if (platform_.MsgBox(QStringLiteral("您确定要清空电话列表吗?"), kStyleQuestionOkCancel,
                         kNoticeTitle) != kAnswerOk) {
        return;
    }
    lstphone->clearEntries();
    SaveSettings();
}

void frmhome::Command4_Click() {
    importCancelled_ = false;
    const QString path =
        platform_.OpenFileDialog(QString(), QStringLiteral("*.txt"), platform_.AppFacts().folder);
    if (path.isEmpty()) {
        return;
    }
    // A file that cannot be read leaves the list as it was: it is the user's phone book.
    if (!platform_.FileExists(path, false)) {
        platform_.MsgBox(QStringLiteral("找不到电话本文件 %1, 号码列表没有改变.").arg(path),
                         kStyleQuestionOk, kNoticeTitle);
        return;
    }
    // Until it is complete, the import leaves the list as it is: a stopped one changes nothing.
    const recipients::PhoneBookImport book = [&] {
        ImportProgress progress(this, QFileInfo(path).fileName(), config_.importProgressDelay);
        return platform_.ReadPhoneBook(
            path, [&progress](qint64 done, qint64 total) { return progress.advance(done, total); },
            config_.importPieceBytes);
    }();
    if (book.cancelled) {
        importCancelled_ = true;
        return;
    }
    if (!book.ok) {
        platform_.MsgBox(book.error + QStringLiteral(" 号码列表没有改变."), kStyleQuestionOk,
                         kNoticeTitle);
        return;
    }
    lstphone->setEntries(book.entries);
    if (book.leftOut > 0) {
        platform_.MsgBox(
            QStringLiteral("号码列表最多容纳 %1 个号码, 电话本中另有 %2 个号码没有导入.")
                .arg(recipients::MaxListEntries)
                .arg(book.leftOut),
            kStyleQuestionOk, kNoticeTitle);
    }
}

void frmhome::M_looktxt_Click() {
    const QString path = settingsPath();
    if (!platform_.FileExists(path, true)) {
        platform_.MsgBox(QStringLiteral("找不到电话本文件,可能你未保存或丢失."), kStyleQuestionOk,
                         kNoticeTitle);
        return;
    }
    if (!platform_.Shell(QStringLiteral("notepad.exe ") + path, kWindowMaximizedFocus)) {
        platform_.MsgBox(QStringLiteral("无法打开文本编辑器, 请自行打开文件 %1").arg(path),
                         kStyleQuestionOk, kNoticeTitle);
    }
}

}  // namespace zelvo::app
