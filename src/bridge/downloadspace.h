#pragma once

#include <QtGlobal>

// The free space a download leaves on its disk at least: the desktop, the client's own
// recordings and log, and the browser's profile must go on working after the largest file a
// page offers.
inline constexpr qint64 MinFreeBytesAfterDownload = 512LL * 1024 * 1024;

// Whether a download, carried on, would leave less than that free: what it still has to write
// (its announced size less what it has received; nothing more when no size was announced)
// against what the disk has free now. An unknown free space (negative) stops nothing.
bool LeavesTooLittleSpace(qint64 totalBytes, qint64 receivedBytes, qint64 availableBytes);
