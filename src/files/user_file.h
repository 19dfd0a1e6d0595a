#pragma once

// Every file the programs keep or read for the user goes through here: set.ini, its backup and
// lock, the record of sends and its lock, phone books, contact files and password files. One
// set of rules, so that no file is opened, checked or written its own way:
//
// - Opening is by handle, never following a link that someone else may have planted and never
//   waiting (a FIFO or a device put in a file's place is opened without blocking and dropped);
//   what the file is, who owns it and how many names it has are asked of the opened handle.
// - Ownership: a file (or link) that another user owns, in a folder that others may write, may
//   have been planted there; it is neither read nor written. A folder that only its owner and the
//   administrator can write belongs to its owner: the administrator working in a user's own
//   folder reads that user's files, and what it writes there stays the user's.
// - Writing is whole or not at all: a file is replaced through a temporary file and a rename, a
//   line is appended whole or not at all, both under a lock that the operating system keeps on a
//   file the user owns, so that it goes with a process that dies.
// - Every error is told in Chinese, with the file's name and the cause.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace zelvo::files {

// ---- Reading

struct OpenedFile {
    std::unique_ptr<QFile> file;  // open for reading; null when there is nothing to read
    bool exists = false;          // something stands at the path, read or not
    QString refusal;              // it may have been planted by someone else (see above), naming it
    QString error;                // it is there but not a readable regular file, naming it
    bool othersMayRead = false;   // group or other users may read it (mode bits, access list)
};

// Opens the regular file at path for reading, as described above. A missing file gives no file
// and neither refusal nor error.
OpenedFile openForReading(const QString& path);

// Reads at most maxBytes of an opened file, or of a stream such as standard input, which is read
// no further. Nothing, and `tooLarge` set when given, when there is more; nothing on a read error.
std::optional<QByteArray> readAtMost(QIODevice& file, qint64 maxBytes, bool* tooLarge = nullptr);

// ---- Locking

struct LockAttempt;

// A lock held on "<file>.lock" beside a file, released when this goes.
class FileLock {
public:
    FileLock() = default;
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();
    bool held() const { return handle_ != kNone; }

private:
    friend LockAttempt lockBeside(const QString&, std::chrono::milliseconds);
    static constexpr qintptr kNone = -1;
    explicit FileLock(qintptr handle) : handle_(handle) {}
    static void release(qintptr handle);
    qintptr handle_ = kNone;
};

struct LockAttempt {
    FileLock lock;
    QString error;  // why the lock was not had, naming the lock file; empty when held
};

// Takes the lock that keeps two writers of the file at path apart, in this program or another.
// Waits at most `wait` for another holder; the lock file itself must be a regular file of the
// user's, so that one planted in its place is told at once rather than waited on.
LockAttempt lockBeside(const QString& path, std::chrono::milliseconds wait);

// ---- Replacing

// The steps of a replacement that a crash may interrupt, for tests that stop or end one there.
enum class SaveStep {
    Locked,            // no other writer of the file can start
    TemporaryWritten,  // the new contents are on disk under a temporary name
    OldFileKept,       // the old file is copied to "<file>.bak"
    Replaced,          // the new file has the file's name
};
using SaveStepHook = std::function<void(SaveStep)>;

// Replaces the file at path with contents so that a reader sees either the old file or the
// whole new one: a temporary file of a name no other writer uses ("<file>.<random>.tmp") is
// written, flushed and renamed over the old one. It takes no lock: the caller holds
// lockBeside(). A new file is for its owner alone (on Windows, outside the user's profile,
// through an access list for the user alone); a replaced one keeps its owner and its owner's
// bits. A file that may not be written, or whose owner may not write it, is left alone. With
// keepOld, the file really replaced is first copied to "<file>.bak" beside it. Returns why it
// failed, or an empty string.
QString replaceFile(const QString& path, const QByteArray& contents, bool keepOld = false,
                    const SaveStepHook& atStep = {});

// ---- Appending

struct LogOptions {
    qint64 limitBytes = 1024 * 1024;  // before a line would take the file past this, its older
                                      // half goes: only that half is read
    QByteArray start = {};            // what a new file begins with (a byte order mark)
    std::chrono::milliseconds lockWait{3000};
    std::function<void()> atLocked = {};  // for tests: called with the lock held, once the log's
                                          // name is looked up and before it is opened
};

// Adds one line (ending in a line break) to the log at path, under lockBeside(), whole or not at
// all: a write cut short (a full disk) is taken back. A new log and its folders are for the user
// alone; a log that another user owns is not written to. Returns why the line was not added, or
// an empty string.
QString appendToLog(const QString& path, const QByteArray& line, const LogOptions& options = {});

// ---- Folders

// Creates the folders missing above the file at path for this user alone: the files the programs
// keep there hold a password or name who was sent what. What cannot be created is reported by the
// write that follows.
void makePrivateFolders(const QString& path);

// Whether the file at path, which exists, is one this program may use as the user's own: the
// rule of openForReading() for who owns it. For choosing where set.ini lives.
bool belongsToUser(const QString& path);

}  // namespace zelvo::files
