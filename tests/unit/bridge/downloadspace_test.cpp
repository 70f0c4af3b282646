#include "bridge/downloadspace.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr qint64 MiB = 1024 * 1024;
constexpr qint64 Min = MinFreeBytesAfterDownload;

struct SpaceCase {
    qint64 total;
    qint64 received;
    qint64 available;
    bool stop;
};

TEST(DownloadSpace, StopsBeforeTheDiskIsLeftWithTooLittleFreeSpace) {
    const SpaceCase cases[] = {
        // Plenty of room.
        {10 * MiB, 0, 100 * 1024 * MiB, false},
        {10 * MiB, 5 * MiB, Min + 5 * MiB, false},
        // Exactly the minimum left after the rest arrives, and one byte less.
        {10 * MiB, 0, Min + 10 * MiB, false},
        {10 * MiB, 0, Min + 10 * MiB - 1, true},
        // What has arrived is on the disk already: only the rest counts.
        {10 * MiB, 9 * MiB, Min + MiB, false},
        // A size announced larger than any disk.
        {std::numeric_limits<qint64>::max(), 0, 100 * 1024 * MiB, true},
        {1LL << 50, 64 * 1024, 79 * 1024 * 1024 * MiB, true},
        // No size announced: it stops once the free space falls below the minimum.
        {-1, 300 * MiB, Min, false},
        {-1, 300 * MiB, Min - 1, true},
        {0, 0, Min - 1, true},
        // A disk already below the minimum takes nothing more.
        {1, 0, Min - 1, true},
        // The free space cannot be read: nothing is stopped.
        {10 * MiB, 0, -1, false},
        // More received than announced.
        {MiB, 2 * MiB, Min, false},
    };
    for (const SpaceCase& c : cases)
        EXPECT_EQ(LeavesTooLittleSpace(c.total, c.received, c.available), c.stop)
            << "total " << c.total << ", received " << c.received << ", available " << c.available;
}

} // namespace
