#pragma once

#include <QFile>
#include <QString>
#include <memory>

namespace zelvo::settings {

struct OpenedFile {
    std::unique_ptr<QFile> file;  // open for reading; null when there is nothing to read
    bool exists = false;          // something stands at the path, read or not
    QString refusal;              // why it was not read although it is there; empty if it was
};

// Opens the file at path for reading as a save would reach it. Symbolic links are followed only
// where nobody else could have planted them (as replaceFile() does), and a file that another
// user owns in a folder others can write is not read either: on Linux, outside the user's
// profile on Windows. Never blocks: the file is opened without waiting and checked on the
// opened file, so a FIFO or a device put in its place is opened and dropped at once, not read.
OpenedFile openForReading(const QString& path);

}  // namespace zelvo::settings
