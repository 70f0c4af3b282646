#include "platform/filelock.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

FileLock::FileLock(const QString& path) : path_(path) {}

FileLock::~FileLock() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool FileLock::open() {
    if (fd_ >= 0)
        return true;
    fd_ = ::open(path_.toLocal8Bit().constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    return fd_ >= 0;
}

bool FileLock::lock(int timeoutMs) {
    // flock has no time-out of its own: retry with a growing pause.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    auto pause = std::chrono::microseconds(100);
    while (!tryLock()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(pause);
        pause = std::min<std::chrono::microseconds>(pause * 2, std::chrono::milliseconds(20));
    }
    return true;
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
