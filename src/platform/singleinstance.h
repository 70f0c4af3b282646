#pragma once

#include <QString>

class FileLock;

// The per-user single-instance lock. The first instance takes it and keeps it until the
// process ends; the kernel drops it with the process, so a crash never blocks the next start.
class SingleInstanceLock {
public:
    explicit SingleInstanceLock(const QString& name);
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // True for the first instance. A lock that cannot be set up at all (no private runtime
    // folder) counts as first, so the client still starts.
    bool acquire();

private:
    FileLock* lock_ = nullptr;
};
