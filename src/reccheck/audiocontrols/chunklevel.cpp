#include "reccheck/audiocontrols/chunklevel.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

double PeakDbfs(const QByteArray& pcm16) {
    int peak = 0;
    for (qsizetype at = 0; at + 1 < pcm16.size(); at += 2)
        peak = std::max(peak, std::abs(int(qFromLittleEndian<qint16>(pcm16.constData() + at))));
    if (peak == 0)
        return -std::numeric_limits<double>::infinity();
    return 20.0 * std::log10(peak / 32768.0);
}
