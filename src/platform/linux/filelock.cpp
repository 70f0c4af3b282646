#include "platform/filelock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

FileLock::FileLock(const QString& path) : path_(path) {}

FileLock::~FileLock() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool FileLock::open() {
    if (fd_ >= 0)
        return true;
    fd_ = ::open(path_.toLocal8Bit().constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    return fd_ >= 0;
}

void FileLock::lock() {
    while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
    }
}

bool FileLock::tryLock() {
    int rc;
    do {
        rc = ::flock(fd_, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

void FileLock::unlock() {
    ::flock(fd_, LOCK_UN);
}
