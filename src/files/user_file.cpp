#include "files/user_file.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace zelvo::files {

std::optional<QByteArray> readAtMost(QFile& file, qint64 maxBytes, bool* tooLarge) {
    if (tooLarge) *tooLarge = false;
    // Pieces the size the file reports, which is normally one read: a file that reports no size
    // (or grows) is still read only up to the bound.
    const qint64 size = file.size();
    if (size > maxBytes) {
        if (tooLarge) *tooLarge = true;
        return std::nullopt;
    }
    QByteArray bytes;
    QByteArray piece(qsizetype(std::clamp<qint64>(size + 1, 1, 64 * 1024 * 1024)),
                     Qt::Uninitialized);
    for (qint64 got; (got = file.read(piece.data(), piece.size())) != 0;) {
        if (got < 0) return std::nullopt;
        if (bytes.size() + got > maxBytes) {
            if (tooLarge) *tooLarge = true;
            return std::nullopt;
        }
        bytes.append(piece.constData(), qsizetype(got));
    }
    return bytes;
}

void makePrivateFolders(const QString& path) {
    QStringList missing;
    for (QFileInfo folder(QFileInfo(path).absolutePath()); !folder.exists() && !folder.isRoot();
         folder.setFile(folder.absolutePath())) {
        missing.prepend(folder.absoluteFilePath());
    }
    for (const QString& folder : missing)
        QDir().mkdir(folder,
                     QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

}  // namespace zelvo::files
