#include "bridge/downloadspace.h"

#include <algorithm>

bool LeavesTooLittleSpace(qint64 totalBytes, qint64 receivedBytes, qint64 availableBytes) {
    if (availableBytes < 0)
        return false;
    const qint64 toWrite = totalBytes > 0 ? std::max<qint64>(totalBytes - receivedBytes, 0) : 0;
    // Compared as "available - toWrite < minimum" without overflowing for announced sizes near
    // the largest number.
    return availableBytes < MinFreeBytesAfterDownload ||
           toWrite > availableBytes - MinFreeBytesAfterDownload;
}
