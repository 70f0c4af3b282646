#pragma once

#include <QString>

// An exclusive advisory lock on a file, shared between processes. The kernel drops the
// lock when its holder dies, so a crashed process never blocks the next one.
class FileLock {
public:
    explicit FileLock(const QString& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Opens (creating when missing) the lock file; false when it cannot be opened.
    bool open();
    bool isOpen() const { return fd_ >= 0; }
    // Waits at most timeoutMs; false when the lock was not had by then.
    bool lock(int timeoutMs);
    // Takes the lock only when nobody holds it.
    bool tryLock();
    void unlock();

private:
    QString path_;
    int fd_ = -1;
};
