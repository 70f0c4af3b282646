#include "log/logidentity.h"

#include "platform/processinfo.h"

#include <atomic>
#include <pthread.h>

namespace {

std::atomic<unsigned> forks{0};

void CountFork() {
    forks.fetch_add(1, std::memory_order_relaxed);
}

struct Numbers {
    unsigned forks = ~0u; // the fork count they were taken at; ~0u: not yet taken
    std::uint32_t process = 0;
    std::uint32_t thread = 0;
};

thread_local Numbers cached;

const Numbers& CurrentNumbers() {
    static const bool watching = ::pthread_atfork(nullptr, nullptr, CountFork) == 0;
    const unsigned now = forks.load(std::memory_order_relaxed);
    if (!watching || cached.forks != now) {
        cached.process = static_cast<std::uint32_t>(CurrentProcessNumber());
        cached.thread = static_cast<std::uint32_t>(CurrentThreadNumber());
        cached.forks = watching ? now : ~0u;
    }
    return cached;
}

} // namespace

std::uint32_t LogProcessNumber() {
    return CurrentNumbers().process;
}

std::uint32_t LogThreadNumber() {
    return CurrentNumbers().thread;
}
