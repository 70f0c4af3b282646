#pragma once

#include "bitwriter.h"

#include <QColor>

#include <cstdint>

// Lengths in a movie are twips: twenty to a pixel.
constexpr int TwipsPerPixel = 20;

struct TwipRect {
    std::int32_t xMin = 0;
    std::int32_t xMax = 0;
    std::int32_t yMin = 0;
    std::int32_t yMax = 0;
};

// Where a placed shape goes: scaled about its own origin, then moved.
struct Placement {
    double scaleX = 1.0;
    double scaleY = 1.0;
    std::int32_t translateX = 0;
    std::int32_t translateY = 0;
};

// Each channel becomes channel × multiply / 256 + add.
struct ColorTransform {
    std::int16_t multiplyRed = 256;
    std::int16_t multiplyGreen = 256;
    std::int16_t multiplyBlue = 256;
    std::int16_t multiplyAlpha = 256;
    std::int16_t addRed = 0;
    std::int16_t addGreen = 0;
    std::int16_t addBlue = 0;
    std::int16_t addAlpha = 0;
};

// Multiplies a white shape into the given colour and opacity (0 transparent, 1 opaque).
ColorTransform Tint(const QColor& color, double opacity);

void WriteRect(BitWriter& out, const TwipRect& rect);
void WriteMatrix(BitWriter& out, const Placement& placement);
void WriteColorTransformWithAlpha(BitWriter& out, const ColorTransform& transform);
void WriteRgb(BitWriter& out, const QColor& color);
void WriteRgba(BitWriter& out, const QColor& color);
