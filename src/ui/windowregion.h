#pragma once

#include <QRegion>
#include <QSize>

// Frameless windows are cut to a rectangle with rounded corners.

// How many pixels the row `row` of a window `height` pixels high loses at each side for corner
// ellipses of ellipseWidth × ellipseHeight; a pixel stays when its centre lies inside.
int RoundedRowInset(int row, int height, int ellipseWidth, int ellipseHeight);

// The whole window of the given size less its rounded corners.
QRegion RoundedWindowRegion(const QSize& size, int ellipseWidth, int ellipseHeight);
