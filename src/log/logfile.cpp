#include "log/logfile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int AppendFlags = O_WRONLY | O_APPEND | O_CLOEXEC;
constexpr mode_t NewFileMode = 0666; // narrowed by the umask

} // namespace

LogFile::Opening LogFile::openOrCreate(const QByteArray& path) {
    close();
    for (;;) {
        const int fd = ::open(path.constData(), AppendFlags);
        if (fd >= 0)
            return adopt(fd) ? Opening::Opened : Opening::Failed;
        if (errno == EINTR)
            continue;
        if (errno != ENOENT)
            return Opening::Failed;
        const int created = ::open(path.constData(), AppendFlags | O_CREAT | O_EXCL, NewFileMode);
        if (created >= 0)
            return adopt(created) ? Opening::Created : Opening::Failed;
        // Someone else created it between the two calls: open theirs.
        if (errno != EEXIST && errno != EINTR)
            return Opening::Failed;
    }
}

bool LogFile::openExisting(const QByteArray& path) {
    close();
    int fd;
    do {
        fd = ::open(path.constData(), AppendFlags);
    } while (fd < 0 && errno == EINTR);
    return adopt(fd);
}

bool LogFile::create(const QByteArray& path) {
    close();
    int fd;
    do {
        fd = ::open(path.constData(), AppendFlags | O_CREAT | O_TRUNC, NewFileMode);
    } while (fd < 0 && errno == EINTR);
    return adopt(fd);
}

bool LogFile::adopt(int fd) {
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    fd_ = fd;
    device_ = info.st_dev;
    inode_ = info.st_ino;
    return true;
}

void LogFile::close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    device_ = 0;
    inode_ = 0;
}

bool LogFile::append(const std::string& text) {
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t written = ::write(fd_, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

std::int64_t LogFile::size() const {
    struct stat info {};
    if (::fstat(fd_, &info) != 0)
        return -1;
    return info.st_size;
}

bool LogFile::isAt(const QByteArray& path) const {
    struct stat named {};
    if (fd_ < 0 || ::stat(path.constData(), &named) != 0)
        return false;
    return device_ == named.st_dev && inode_ == named.st_ino;
}

void LogFile::sync() {
    if (fd_ >= 0)
        ::fsync(fd_);
}

RenameResult RenameWithoutReplacing(const QByteArray& from, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return RenameResult::Renamed;
    if (errno == EEXIST)
        return RenameResult::NameTaken;
    if (errno != EINVAL && errno != ENOSYS)
        return RenameResult::Failed;
    // File systems without the no-replace rename: a hard link fails on an existing name just
    // as atomically.
    if (::link(from.constData(), to.constData()) == 0)
        return ::unlink(from.constData()) == 0 ? RenameResult::Renamed : RenameResult::Failed;
    if (errno == EEXIST)
        return RenameResult::NameTaken;
    // Nor hard links: the lock keeps other loggers away between the test and the rename.
    struct stat existing {};
    if (::lstat(to.constData(), &existing) == 0)
        return RenameResult::NameTaken;
    return ::rename(from.constData(), to.constData()) == 0 ? RenameResult::Renamed
                                                           : RenameResult::Failed;
}
