#include "log/logrecord.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Marks a record laid out as below; anything else in the lock file is replaced.
constexpr std::uint64_t RecordMagic = 0x314345524c475a51ull;

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
    if (shared_->magic.load(Relaxed) != RecordMagic) {
        forget();
        shared_->magic.store(RecordMagic, Relaxed);
    }
    return true;
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
