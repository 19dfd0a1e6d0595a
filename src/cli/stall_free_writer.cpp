#include "cli/stall_free_writer.h"

#include <QFileDevice>
#include <QString>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#endif
#ifdef Q_OS_WIN
#include <io.h>

#include "cli/windows/pipe_write.h"
#endif

namespace zelvo::cli {

StallFreeWriter::StallFreeWriter(QIODevice& device) : device_(device) {
    if (const auto* file = qobject_cast<QFileDevice*>(&device)) fd_ = file->handle();
}

void StallFreeWriter::write(const QByteArray& text, std::chrono::milliseconds patience) {
    if (dropped_ > 0) {
        const QByteArray marker =
            QStringLiteral("* (标准错误输出受阻, 省略了 %1 段输出)\n").arg(dropped_).toUtf8();
        if (!writeNow(marker, patience)) {
            ++dropped_;
            return;
        }
        dropped_ = 0;
    }
    if (!writeNow(text, patience)) ++dropped_;
}

// Whether all of text was written. A pipe that polls writable has room for PIPE_BUF bytes, so
// pieces of that size never block; a text cut short counts as dropped.
bool StallFreeWriter::writeNow(const QByteArray& text, std::chrono::milliseconds patience) {
#ifdef Q_OS_UNIX
    if (fd_ >= 0) {
        for (qsizetype at = 0; at < text.size();) {
            pollfd ready{fd_, POLLOUT, 0};
            const int polled = ::poll(&ready, 1, int(patience.count()));
            if (polled < 0 && errno == EINTR) continue;
            if (polled <= 0 || !(ready.revents & POLLOUT)) return false;
            const ssize_t written =
                ::write(fd_, text.constData() + at,
                        size_t(std::min<qsizetype>(text.size() - at, PIPE_BUF)));
            if (written < 0 && errno == EINTR) continue;
            if (written <= 0) return false;
            at += written;
        }
        return true;
    }
#elif defined(Q_OS_WIN)
    if (fd_ >= 0) {
        return writeWithin(reinterpret_cast<HANDLE>(_get_osfhandle(fd_)),
                           std::string_view(text.constData(), size_t(text.size())), patience);
    }
#endif
    Q_UNUSED(patience);
    return device_.write(text) == text.size();
}

}  // namespace zelvo::cli
