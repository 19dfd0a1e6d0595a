// The number list: picking recipients, adding, deleting and clearing entries, importing a
// phone book and viewing the settings file and the record of sends.
#include <QDir>
#include <QFileInfo>

#include "app/box_titles.h"
#include "app/import_progress.h"
#include "app/main_window.h"
#include "recipients/number_entry.h"
#include "recipients/phone_book.h"
#include "recipients/selection_walk.h"

namespace zelvo::app {

void MainWindow::updateRecipients() {
    using recipients::WalkRejection;
    NumberListView* list = sendingPage_->numberList();
    const recipients::SelectionOutcome outcome =
        recipients::runSelectionWalk(list->entries(), list->picks(), list->currentRow());
    if (outcome.recipientText) {
        sendingPage_->recipientsEdit()->setText(*outcome.recipientText);
    }
    selectedCount_ = outcome.selectedCount;
    if (outcome.rejection == WalkRejection::None) {
        return;
    }
    const auto clearRejectedPicks = [&] {
        for (const int row : outcome.deselect) {
            list->setPicked(row, false);
        }
    };
    // The limit takes back the pick before it speaks; a wrong number is named first.
    if (outcome.rejection == WalkRejection::Limit) {
        clearRejectedPicks();
    }
    platform_.tell(recipients::rejectionMessage(outcome.rejection), kErrorTitle);
    if (outcome.rejection != WalkRejection::Limit) {
        clearRejectedPicks();
    }
}

void MainWindow::addNumberByHand() {
    const QString entry =
        platform_.askForText(QStringLiteral("请输入姓名及移动手机号码,格式： 李三,13806012345"),
                             QStringLiteral("手动添加号码"), QStringLiteral("李三,13806012345"));
    if (entry.isEmpty()) {
        return;
    }
    NumberListView* list = sendingPage_->numberList();
    if (!recipients::passesManualEntryFormat(entry)) {
        platform_.tell(QStringLiteral("添加 ") + entry + QStringLiteral(" 失败 格式错误."),
                       kAddNumberTitle, NoticeIcon::None);
        return;
    }
    if (list->count() >= recipients::MaxListEntries) {
        platform_.tell(QStringLiteral("添加 %1 失败 号码列表已满(最多 %2 个号码).")
                           .arg(entry)
                           .arg(recipients::MaxListEntries),
                       kAddNumberTitle, NoticeIcon::None);
        return;
    }
    list->addEntry(entry);
    platform_.tell(QStringLiteral("添加 ") + entry + QStringLiteral(" 成功"), kAddNumberTitle,
                   NoticeIcon::None);
    writeSettings();
}

void MainWindow::deletePickedNumbers() {
    NumberListView* list = sendingPage_->numberList();
    const std::vector<bool> picks = list->picks();
    QStringList picked;
    for (int row = 0; row < list->count(); ++row) {
        if (picks[std::size_t(row)]) picked << list->entries()[row].toString();
    }
    if (picked.isEmpty()) {
        platform_.tell(QStringLiteral("没有选择号码: 请先在号码列表中点击要删除的号码."),
                       kNoticeTitle);
        return;
    }
    // The picked entries are named, a screenful at most: a click may have gone astray.
    constexpr int kNamedAtMost = 20;
    QString question = QStringLiteral("您确定要删除所选的号码吗?\n\n") +
                       QStringList(picked.mid(0, kNamedAtMost)).join(u'\n');
    if (picked.size() > kNamedAtMost) {
        question += QStringLiteral("\n……等共 %1 个号码").arg(picked.size());
    }
    if (platform_.ask(question, kNoticeTitle) != Answer::Ok) {
        return;
    }
    list->removeEntries(picks);
    writeSettings();
}

void MainWindow::clearNumberList() {
    if (platform_.ask(QStringLiteral("您确定要清空电话列表吗?"), kNoticeTitle) != Answer::Ok) {
        return;
    }
    sendingPage_->numberList()->clearEntries();
    writeSettings();
}

void MainWindow::importPhoneBook() {
    importChangedNothing_ = false;
    const QString path = platform_.chooseFile(
        QStringLiteral("文本文件 (*.txt);;vCard 联系人 (*.vcf *.vcard);;CSV 联系人 (*.csv);;"
                       "所有文件 (*)"),
        platform_.applicationFacts().folder);
    if (path.isEmpty()) {
        return;
    }
    // A file that cannot be read leaves the list as it was: it is the user's phone book. A
    // hidden file counts as missing.
    const QFileInfo file(path);
    if (!file.isFile() || file.isHidden()) {
        platform_.tell(QStringLiteral("找不到电话本文件 %1, 号码列表没有改变.")
                           .arg(QDir::toNativeSeparators(path)),
                       kNoticeTitle);
        return;
    }
    // Until it is complete, the import leaves the list as it is: a stopped one changes nothing.
    const recipients::PhoneBookImport book = [&] {
        ImportProgress progress(this, file.fileName(), config_.importProgressDelay);
        return recipients::readPhoneBook(
            path, [&progress](qint64 done, qint64 total) { return progress.advance(done, total); },
            config_.importPieceBytes);
    }();
    if (book.cancelled) {
        importChangedNothing_ = true;
        return;
    }
    if (!book.ok) {
        platform_.tell(book.error + QStringLiteral(" 号码列表没有改变."), kNoticeTitle);
        return;
    }
    // A book typed in another form would otherwise empty the list, and the menu would save that.
    if (book.entries.size() == 0) {
        const QString shown = QDir::toNativeSeparators(path);
        platform_.tell(
            book.format == recipients::BookFormat::Lines
                ? QStringLiteral("电话本文件 %1 中没有 名字,号码 格式的行(如 李三,13806012345), "
                                 "号码列表没有改变.")
                      .arg(shown)
                : QStringLiteral("联系人文件 %1 中没有移动手机号码, 号码列表没有改变.").arg(shown),
            kNoticeTitle);
        importChangedNothing_ = true;
        return;
    }
    sendingPage_->numberList()->setEntries(book.entries);
    if (book.leftOut > 0) {
        platform_.tell(QStringLiteral("号码列表最多容纳 %1 个号码, 电话本中另有 %2 个号码没有导入.")
                           .arg(recipients::MaxListEntries)
                           .arg(book.leftOut),
                       kNoticeTitle);
    }
}

void MainWindow::viewPhoneBookFile() {
    const QString path = settingsPath();
    if (!QFileInfo(path).isFile()) {
        platform_.tell(QStringLiteral("找不到电话本文件,可能你未保存或丢失."), kNoticeTitle);
        return;
    }
    openFileInEditor(path);
}

void MainWindow::viewSendRecord() {
    const QString path = record::sendRecordPath(settingsPath());
    if (!QFileInfo(path).isFile()) {
        platform_.tell(QStringLiteral("还没有发送记录. 每次发送短信后, 发送记录都会写入 %1")
                           .arg(QDir::toNativeSeparators(path)),
                       kNoticeTitle);
        return;
    }
    openFileInEditor(path);
}

void MainWindow::openFileInEditor(const QString& path) {
    if (!platform_.openInTextEditor(path)) {
        platform_.tell(QStringLiteral("无法打开文本编辑器, 请自行打开文件 %1")
                           .arg(QDir::toNativeSeparators(path)),
                       kNoticeTitle);
    }
}

}  // namespace zelvo::app
