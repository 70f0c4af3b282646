#include "log/logrecord.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Marks a record laid out as below; anything else in the lock file is replaced.
constexpr std::uint64_t RecordMagic = 0x324345524c475a51ull;

constexpr auto Relaxed = std::memory_order_relaxed;

} // namespace

static_assert(std::atomic<std::uint64_t>::is_always_lock_free,
              "the record is shared between processes and must not need a lock of its own");

bool LogFileRecord::map(const QByteArray& lockPath) {
    unmap();
    int fd;
    do {
        fd = ::open(lockPath.constData(), O_RDWR | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return false;
    struct stat info {};
    bool ready = ::fstat(fd, &info) == 0;
    if (ready && static_cast<std::uint64_t>(info.st_size) < sizeof(Shared))
        ready = ::ftruncate(fd, sizeof(Shared)) == 0;
    void* memory = ready
                       ? ::mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0)
                       : MAP_FAILED;
    ::close(fd);
    if (memory == MAP_FAILED)
        return false;
    shared_ = static_cast<Shared*>(memory);
    if (shared_->magic.load(std::memory_order_acquire) != RecordMagic && !setUp()) {
        unmap();
        return false;
    }
    return true;
}

bool LogFileRecord::setUp() {
    pthread_mutexattr_t attributes;
    if (::pthread_mutexattr_init(&attributes) != 0)
        return false;
    const bool ready = ::pthread_mutexattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED) == 0 &&
                       ::pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST) == 0 &&
                       ::pthread_mutex_init(&shared_->lock, &attributes) == 0;
    ::pthread_mutexattr_destroy(&attributes);
    if (!ready)
        return false;
    forget();
    shared_->magic.store(RecordMagic, std::memory_order_release);
    return true;
}

bool LogFileRecord::lock(int timeoutMs) {
    if (!shared_)
        return false;
    int result = ::pthread_mutex_trylock(&shared_->lock);
    if (result == EBUSY) {
        timespec deadline{};
        ::clock_gettime(CLOCK_REALTIME, &deadline);
        deadline.tv_sec += timeoutMs / 1000;
        deadline.tv_nsec += static_cast<long>(timeoutMs % 1000) * 1000000;
        if (deadline.tv_nsec >= 1000000000) {
            ++deadline.tv_sec;
            deadline.tv_nsec -= 1000000000;
        }
        result = ::pthread_mutex_timedlock(&shared_->lock, &deadline);
    }
    if (result == EOWNERDEAD) {
        // Its holder died, perhaps half-way through changing the record.
        ::pthread_mutex_consistent(&shared_->lock);
        forget();
        return true;
    }
    return result == 0;
}

void LogFileRecord::unlock() {
    if (shared_)
        ::pthread_mutex_unlock(&shared_->lock);
}

void LogFileRecord::unmap() {
    if (shared_)
        ::munmap(shared_, sizeof(Shared));
    shared_ = nullptr;
}

bool LogFileRecord::describes(std::uint64_t device, std::uint64_t inode) const {
    return shared_ && shared_->inode.load(Relaxed) != 0 &&
           shared_->device.load(Relaxed) == device && shared_->inode.load(Relaxed) == inode;
}

std::uint64_t LogFileRecord::size() const {
    return shared_ ? shared_->size.load(Relaxed) : 0;
}

void LogFileRecord::record(std::uint64_t device, std::uint64_t inode, std::uint64_t size) {
    if (!shared_)
        return;
    shared_->device.store(device, Relaxed);
    shared_->inode.store(inode, Relaxed);
    shared_->size.store(size, Relaxed);
}

void LogFileRecord::grow(std::uint64_t bytes) {
    if (shared_)
        shared_->size.fetch_add(bytes, Relaxed);
}

void LogFileRecord::forget() {
    if (!shared_)
        return;
    shared_->inode.store(0, Relaxed);
    shared_->device.store(0, Relaxed);
    shared_->size.store(0, Relaxed);
}
