#pragma once

#include "bitwriter.h"
#include "records.h"

#include <QPainterPath>

// Writes path (in pixels) as a shape of one fill and no lines: the fill and line index bit
// counts, one move per subpath, straight and quadratic curve edges in twips, and the end
// record. Every subpath is closed, as fills need. Throws std::range_error when an edge is
// longer than a shape record can hold (over 65 535 twips).
void WriteShapeRecords(BitWriter& out, const QPainterPath& path);

// The path's bounds in twips, rounded outwards.
TwipRect TwipBounds(const QPainterPath& path);
