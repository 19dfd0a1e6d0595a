#pragma once

// The file a save replaces or a load reads, reached through a folder opened once and names
// inside it (openat() and friends), so that a name swapped between a check and a write cannot
// send the write somewhere else.
#include <sys/stat.h>

#include <QByteArray>
#include <QString>
#include <optional>
#include <utility>

namespace zelvo::settings {

// An open file descriptor, closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    ~Descriptor();
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

// A name in an opened folder.
struct Place {
    Descriptor folder;
    QString folderPath;
    QByteArray name;

    // The path to show the user, with an optional suffix to the name.
    QString shown(const QByteArray& suffix = {}) const;
};

// The text of errno, for the user.
QString lastError();

// Whether someone besides this user and the administrator may add, remove or swap names in the
// folder.
bool othersMayWrite(const struct stat& folder);

// Follows the symbolic links at path to the name they end at, refusing a link that someone else
// may have planted: one that another user owns in a folder others may write. Nothing, with the
// reason in error, when it is refused (then `planted`, when given, is set) or a folder cannot be
// opened.
std::optional<Place> realPlace(QString path, QString& error, bool* planted = nullptr);

}  // namespace zelvo::settings
