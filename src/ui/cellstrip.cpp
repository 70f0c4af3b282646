#include "ui/cellstrip.h"

#include <algorithm>

namespace {
constexpr int EmptyStripSide = 150;
}

QSize CellStripControlSize(const QSize& strip, int cellCount) {
    const int height = strip.height();
    const int width = cellCount > 0 ? strip.width() / cellCount : 0;
    if (height <= 0 || width <= 0)
        return {EmptyStripSide, EmptyStripSide};
    return {width, height};
}

QRect CellSourceRect(int cell, const QSize& control) {
    return {control.width() * (cell - 1), 0, control.width(), control.height()};
}

int CellWithin(int requested, int cellCount) {
    return std::min(requested, cellCount);
}

bool PointerOutside(const QPoint& pointer, const QSize& control) {
    return pointer.x() < 0 || pointer.y() < 0 || pointer.x() > control.width() ||
           pointer.y() > control.height();
}
