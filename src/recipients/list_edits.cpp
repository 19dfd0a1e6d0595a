#include "recipients/list_edits.h"

#include "recipients/number_entry.h"

namespace zelvo::recipients {

std::optional<QString> manualEntryRefusal(const QString& entry, qsizetype listSize) {
    if (!passesManualEntryFormat(entry)) {
        return QStringLiteral("添加 ") + entry + QStringLiteral(" 失败 格式错误.");
    }
    if (listSize >= MaxListEntries) {
        return QStringLiteral("添加 %1 失败 号码列表已满(最多 %2 个号码).")
            .arg(entry)
            .arg(MaxListEntries);
    }
    return std::nullopt;
}

QString deletionQuestion(const QStringList& picked) {
    QString question = QStringLiteral("您确定要删除所选的号码吗?\n\n") +
                       QStringList(picked.mid(0, kDeletionNamedAtMost)).join(u'\n');
    if (picked.size() > kDeletionNamedAtMost) {
        question += QStringLiteral("\n……等共 %1 个号码").arg(picked.size());
    }
    return question;
}

EntryList withoutPicked(const EntryList& entries, const std::vector<bool>& picks) {
    EntryList kept;
    for (qsizetype row = 0; row < entries.size(); ++row) {
        if (!picks[std::size_t(row)]) kept.append(entries[row]);
    }
    return kept;
}

std::optional<QString> emptyBookNotice(const PhoneBookImport& book, const QString& shownPath) {
    if (book.entries.size() > 0) return std::nullopt;
    // A book typed in another form would otherwise empty the list, and the menu would save that.
    return book.format == BookFormat::Lines
               ? QStringLiteral(
                     "电话本文件 %1 中没有 名字,号码 格式的行(如 李三,13806012345), "
                     "号码列表没有改变.")
                     .arg(shownPath)
               : QStringLiteral("联系人文件 %1 中没有移动手机号码, 号码列表没有改变.")
                     .arg(shownPath);
}

std::optional<QString> leftOutNotice(const PhoneBookImport& book) {
    if (book.leftOut <= 0) return std::nullopt;
    return QStringLiteral("号码列表最多容纳 %1 个号码, 电话本中另有 %2 个号码没有导入.")
        .arg(MaxListEntries)
        .arg(book.leftOut);
}

}  // namespace zelvo::recipients
