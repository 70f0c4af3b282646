#pragma once

#include <QByteArray>

// The peak of little-endian 16-bit samples in dB relative to full scale: 0 for a sample at
// full scale, minus infinity for digital silence or no samples.
double PeakDbfs(const QByteArray& pcm16);
