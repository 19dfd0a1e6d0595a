#include "recipients/phone_book.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "recipients/number_entry.h"

namespace zelvo::recipients {

namespace {

QString decodeWith(QStringConverter::Encoding encoding, QByteArrayView bytes, bool& clean) {
    // The BOM has been cut off already; a second one is content and stays.
    QStringDecoder decoder(encoding, QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    clean = !decoder.hasError();
    return text;
}

bool isUtf8(QByteArrayView bytes) {
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString ignored = decoder.decode(bytes);
    return !decoder.hasError();
}

}  // namespace

QString decodePhoneBook(const QByteArray& bytes, bool* clean) {
    bool ignored = true;
    bool& noErrors = clean ? *clean : ignored;
    noErrors = true;
    const QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        return decodeWith(QStringConverter::Utf8, view.sliced(3), noErrors);
    if (view.startsWith("\xFF\xFE"))
        return decodeWith(QStringConverter::Utf16LE, view.sliced(2), noErrors);
    if (view.startsWith("\xFE\xFF"))
        return decodeWith(QStringConverter::Utf16BE, view.sliced(2), noErrors);
    // Phone books written on a Chinese Windows are GBK; GBK text with a Chinese name is almost
    // never valid UTF-8, so valid UTF-8 is taken as such.
    if (isUtf8(view)) return decodeWith(QStringConverter::Utf8, view, noErrors);
    QStringDecoder gb18030("GB18030");
    if (gb18030.isValid()) {
        QString text = gb18030.decode(view);
        noErrors = !gb18030.hasError();
        return text;
    }
    // A Qt without ICU has no GB18030; the local code page is the next best guess.
    return QString::fromLocal8Bit(view);
}

QStringList splitPhoneBookLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') continue;
        lines.append(text.sliced(start, i - start));
        if (c == u'\r' && i + 1 < size && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    if (start < size) lines.append(text.sliced(start));
    return lines;
}

TextLines readTextLines(const QString& path) {
    TextLines result;
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    if (!info.exists()) {
        result.error = QStringLiteral("找不到文件 %1。").arg(shown);
        return result;
    }
    if (info.isDir()) {
        result.error = QStringLiteral("%1 是文件夹,不是文件。").arg(shown);
        return result;
    }
    // Checked before opening: opening a FIFO for reading would wait for a writer.
    if (!info.isFile()) {
        result.error = QStringLiteral("%1 不是普通文件,无法读取。").arg(shown);
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("无法打开文件 %1。").arg(shown);
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = QStringLiteral("无法读取文件 %1。").arg(shown);
        return result;
    }
    // A picture or an archive chosen by mistake would otherwise fill the list with junk.
    bool clean = true;
    const QString text = decodePhoneBook(bytes, &clean);
    if (text.contains(QChar(0))) {
        result.error = QStringLiteral("%1 不是文本文件。").arg(shown);
        return result;
    }
    if (!clean) {
        result.error =
            QStringLiteral("无法识别文件 %1 的编码 (应为 UTF-8、UTF-16 或 GBK 文本)。").arg(shown);
        return result;
    }
    result.ok = true;
    result.lines = splitPhoneBookLines(text);
    return result;
}

PhoneBookEntries phoneBookEntries(const QStringList& lines) {
    PhoneBookEntries result;
    for (const QString& line : lines) {
        if (!line.contains(u',')) continue;
        if (result.entries.size() < MaxListEntries) {
            result.entries.append(line);
        } else {
            ++result.leftOut;
        }
    }
    return result;
}

}  // namespace zelvo::recipients
