#include "ui/windowregion.h"

#include <QRect>

#include <algorithm>
#include <cmath>

int RoundedRowInset(int row, int height, int ellipseWidth, int ellipseHeight) {
    const double a = ellipseWidth / 2.0;
    const double b = ellipseHeight / 2.0;
    if (a <= 0 || b <= 0)
        return 0;
    // Rows of the bottom corners mirror those of the top ones.
    const int fromEdge = std::min(row, height - 1 - row);
    const double centreY = fromEdge + 0.5;
    if (centreY >= b)
        return 0;
    const double dy = (b - centreY) / b;
    const double halfChord = a * std::sqrt(1.0 - dy * dy);
    const double cutUpTo = a - halfChord;
    return std::max(0, static_cast<int>(std::ceil(cutUpTo - 0.5)));
}

QRegion RoundedWindowRegion(const QSize& size, int ellipseWidth, int ellipseHeight) {
    QRegion region;
    const int cornerRows = std::min(size.height(), (ellipseHeight + 1) / 2);
    const int middleTop = cornerRows;
    const int middleBottom = size.height() - cornerRows;
    if (middleBottom > middleTop)
        region += QRect(0, middleTop, size.width(), middleBottom - middleTop);
    for (int row = 0; row < size.height(); ++row) {
        if (row >= middleTop && row < middleBottom)
            continue;
        const int inset = RoundedRowInset(row, size.height(), ellipseWidth, ellipseHeight);
        if (size.width() > 2 * inset)
            region += QRect(inset, row, size.width() - 2 * inset, 1);
    }
    return region;
}
