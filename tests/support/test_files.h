#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <QStringList>

#include "recipients/entry_list.h"
#include "text/text_codec.h"

namespace zelvo::testing {

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// GBK bytes from the system's own converter: ICU's GB18030 here, code page 936 on a Chinese
// Windows, whose Qt knows no GB18030.
inline QByteArray gbk(const QString& text) {
#ifdef Q_OS_WIN
    return QStringEncoder(QStringConverter::System).encode(text);
#else
    return QStringEncoder("GB18030").encode(text);
#endif
}

inline QByteArray utf16(const QString& text, QStringConverter::Encoding encoding) {
    return QStringEncoder(encoding, QStringConverter::Flag::WriteBom).encode(text);
}

// Entries of the list that the tests use.
inline const QString kLi = QStringLiteral("李三,13806012345");
inline const QString kWang = QStringLiteral("王五,13906054321");

// n list entries "n<i>,138060100<ii>", all of them mobile numbers.
inline QStringList numbered(int n) {
    QStringList entries;
    for (int i = 0; i < n; ++i)
        entries << QStringLiteral("n%1,138060100%2").arg(i).arg(i, 2, 10, QChar(u'0'));
    return entries;
}

inline recipients::EntryList entriesOf(const QStringList& texts) {
    recipients::EntryList entries;
    for (const QString& text : texts) entries.append(text);
    return entries;
}

// The list's entries as texts, to compare and print.
inline QStringList textsOf(const recipients::EntryList& entries) {
    QStringList texts;
    for (const QStringView entry : entries) texts << entry.toString();
    return texts;
}

// Why this system cannot make what place() is asked for, or nullptr when it can. Windows has no
// FIFOs, Qt makes a shortcut file there rather than a symbolic link, and it has no mode bits:
// rows that need them run on Unix alone.
inline const char* unplaceable([[maybe_unused]] const QString& make,
                               [[maybe_unused]] unsigned mode = 0) {
#ifdef Q_OS_WIN
    if (make == u"fifo") return "Windows has no FIFOs";
    if (make.contains(u':')) return "the test gives files and folders owners and modes: Unix alone";
    if (make.startsWith(u"link") || make == u"dangling" || make == u"loop")
        return "Qt makes no symbolic links on Windows";
    if (mode) return "Windows files have no mode bits";
#else
    if (make.contains(u"nobody") && ::geteuid() != 0)
        return "only root can make another user's file";
#endif
    return nullptr;
}

// Whether this system cannot run the row named name, which places make (see unplaceable()) and
// needs texts in GB18030; the reason is printed.
inline bool skippedHere(const char* name, const QString& make, const QStringList& texts = {},
                        unsigned mode = 0) {
    const char* why = unplaceable(make, mode);
    if (!why && !text::encodeGb18030(texts.join(u'\n')))
        why = "this system has no GB18030 (Wine: no code page 54936)";
    if (why) std::cerr << name << " skipped: " << why << "\n";
    return why != nullptr;
}

// Puts at path what make names: the bytes (""), "none", "dir", "fifo", "link" (to
// real/target.ini holding the bytes), "linkdir" (to the folder real), "dangling", "loop", or
// "link:me:<mode>" and "link:nobody:<mode>" make the link belong to this user or to nobody, in a
// folder of that mode; "link:nobody:<mode>:nobody" also gives the folder to nobody. "file:..."
// does the same with the file of bytes itself.
inline bool place(const QString& make, const QString& path, const QByteArray& bytes) {
#ifdef Q_OS_UNIX
    if (const QStringList link = make.split(u':'); link.size() >= 3) {
        constexpr uid_t nobody = 65534;
        const QByteArray name = QFile::encodeName(path),
                         folder = QFile::encodeName(QFileInfo(path).path());
        return place(link[0] == u"file" ? "" : "link", path, bytes) &&
               (link[1] == u"me" || ::lchown(name.constData(), nobody, nobody) == 0) &&
               ::chmod(folder.constData(), link[2].toUInt(nullptr, 8)) == 0 &&
               (link.size() == 3 || ::chown(folder.constData(), nobody, nobody) == 0);
    }
#endif
    QDir dir = QFileInfo(path).dir();
    const QString name = QFileInfo(path).fileName();
    if (make.isEmpty()) writeFile(path, bytes);
    if (make.startsWith(u"link") && !dir.mkdir("real")) return false;
    if (make == u"link") writeFile(dir.filePath("real/target.ini"), bytes);
    if (make == u"dir") return dir.mkdir(name);
#ifdef Q_OS_UNIX
    if (make == u"fifo") return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
#endif
    if (make == u"link") return QFile::link("real/target.ini", path);
    if (make == u"linkdir") return QFile::link("real", path);
    if (make == u"dangling") return QFile::link("target.ini", path);
    if (make == u"loop")
        return QFile::link("other.ini", path) && QFile::link(name, dir.filePath("other.ini"));
    return true;
}

}  // namespace zelvo::testing
