#pragma once

// The file a write replaces or a read opens, reached through a folder opened once and names
// inside it (openat() and friends), so that a name swapped between a check and a write cannot
// send the write somewhere else.
#include <sys/stat.h>

#include <QByteArray>
#include <QString>
#include <optional>
#include <utility>

namespace zelvo::files {

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
    struct stat folderStatus {};

    // The path to show the user, with an optional suffix to the name.
    QString shown(const QByteArray& suffix = {}) const;
};

// The cause of a failed call, for the user: errno in Chinese where it is one a user can act on.
QString errorText(int error);
QString lastError();

// Whether someone besides `user` and the administrator may add, remove or swap names in the
// folder.
bool othersMayWrite(const struct stat& folder, uid_t user);

// Whether a file or link owned by `owner` in the folder may be used as the user's own: it is the
// user's, or nobody but the user (or, for the administrator, the folder's owner) and the
// administrator could have put it there.
bool mayUse(uid_t owner, const struct stat& folder);

// Whether a file owned by `owner` may be written to in place by this user: only the user's own
// (for the administrator, the owner's of the folder it works in).
bool mayWriteInPlace(uid_t owner, const struct stat& folder);

// The administrator writing a new file in another user's private folder hands it to that user,
// so that the user can still read and replace it. False when that fails.
bool handToFolderOwner(int fd, const struct stat& folder);

// Why a file or link owned by someone else is not used, naming it.
QString plantedRefusal(const Place& place, bool link);

// Follows the symbolic links at path to the name they end at, refusing a link that someone else
// may have planted (see mayUse()). Nothing, with the reason in error, when it is refused (then
// `planted`, when given, is set) or a folder cannot be opened.
std::optional<Place> realPlace(QString path, QString& error, bool* planted = nullptr);

}  // namespace zelvo::files
