#pragma once

#include <QByteArray>
#include <chrono>

class QIODevice;

namespace zelvo::cli {

// Writes to a device that may stall, such as standard error on a pipe that nobody reads, without
// waiting longer than asked: what does not fit in time is dropped, and the next text that does
// fit is preceded by a line saying how many were dropped. A device without a file descriptor
// (a buffer) takes everything.
class StallFreeWriter {
public:
    explicit StallFreeWriter(QIODevice& device);
    void write(const QByteArray& text, std::chrono::milliseconds patience = {});

private:
    bool writeNow(const QByteArray& text, std::chrono::milliseconds patience);

    QIODevice& device_;
    int fd_ = -1;
    int dropped_ = 0;
};

}  // namespace zelvo::cli
