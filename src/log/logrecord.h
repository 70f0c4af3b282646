#pragma once

#include <QByteArray>

#include <atomic>
#include <cstdint>
#include <pthread.h>

// What the loggers of one module last recorded about the file under the log path: which file
// it is and how long. It lives in the lock file's memory, shared by every process, and is read
// and written only while the lock is held. A logger whose open file is the recorded one knows
// that the file is still under the path and how long it is without asking the system; every
// logger that replaces the file under the path records the new one. Without the shared memory
// (a file system that cannot map the lock file) nothing is recorded and every line asks.
//
// The record also holds the lock the loggers take for each line: a process-shared robust
// mutex, which costs no system call while nobody else holds it (a lock on the file would cost
// two for every line). The kernel releases it when its holder dies; the next holder is told so
// and forgets the record, which the dead one may have left half-written.
class LogFileRecord {
public:
    LogFileRecord() = default;
    ~LogFileRecord() { unmap(); }
    LogFileRecord(const LogFileRecord&) = delete;
    LogFileRecord& operator=(const LogFileRecord&) = delete;

    // Maps the record kept in the lock file at lockPath; call with the lock on the file held,
    // which keeps two loggers from setting up a new record at once.
    bool map(const QByteArray& lockPath);
    void unmap();
    bool isMapped() const { return shared_ != nullptr; }

    // Takes the record's lock, waiting at most timeoutMs; false when not had by then.
    bool lock(int timeoutMs);
    void unlock();

    // True when the record is of the file with this device and inode.
    bool describes(std::uint64_t device, std::uint64_t inode) const;
    std::uint64_t size() const;
    void record(std::uint64_t device, std::uint64_t inode, std::uint64_t size);
    void grow(std::uint64_t bytes);
    // Nothing recorded: the next line of every logger asks the system.
    void forget();

private:
    struct Shared {
        std::atomic<std::uint64_t> magic;
        pthread_mutex_t lock;
        std::atomic<std::uint64_t> device;
        std::atomic<std::uint64_t> inode;
        std::atomic<std::uint64_t> size;
    };

    // Makes the lock and an empty record in a lock file that holds none yet.
    bool setUp();

    Shared* shared_ = nullptr;
};
