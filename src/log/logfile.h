#pragma once

#include <QByteArray>

#include <cstdint>
#include <string>

// The open log file. Several processes may append to one file at once: each has its own
// descriptor in append mode, so every write lands whole at the current end of the file.
class LogFile {
public:
    enum class Opening { Failed, Opened, Created };

    LogFile() = default;
    ~LogFile() { close(); }
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Opens the file, creating it when missing.
    Opening openOrCreate(const QByteArray& path);
    // Opens the file only when it exists.
    bool openExisting(const QByteArray& path);
    // Creates the file anew, empty.
    bool create(const QByteArray& path);
    bool isOpen() const { return fd_ >= 0; }
    void close();

    // Writes text with one call. False when it could not all be written.
    bool append(const std::string& text);
    // The file's current size, other processes' lines included; -1 when unknown.
    std::int64_t size() const;
    // False once path names another file, or none: the file was rotated or deleted.
    bool isAt(const QByteArray& path) const;
    // Which file is open, as the file system tells files apart.
    std::uint64_t device() const { return device_; }
    std::uint64_t inode() const { return inode_; }
    // Forces the written lines to disk.
    void sync();

private:
    // Keeps the descriptor when it is valid and learns which file it is.
    bool adopt(int fd);

    int fd_ = -1;
    std::uint64_t device_ = 0;
    std::uint64_t inode_ = 0;
};

enum class RenameResult { Renamed, NameTaken, Failed };

// Renames from to to, never replacing an existing to.
RenameResult RenameWithoutReplacing(const QByteArray& from, const QByteArray& to);
