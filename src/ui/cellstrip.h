#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Arithmetic of the cell-strip controls: a strip is a picture of equal cells side by side,
// cell 1 at the left, and the control shows one cell at a time.

// The size a control takes for a strip of the given size cut into cellCount cells. A strip
// too small to give a cell of at least one pixel each way gives 150 × 150.
QSize CellStripControlSize(const QSize& strip, int cellCount);

// The part of the strip that a control of the given size paints for a cell counted from 1.
QRect CellSourceRect(int cell, const QSize& control);

// The cell shown after asking for cell `requested` (1 or more) with cellCount cells.
int CellWithin(int requested, int cellCount);

// Hovering counts a pointer on the right or bottom edge (x = width, y = height) as inside.
bool PointerOutside(const QPoint& pointer, const QSize& control);
