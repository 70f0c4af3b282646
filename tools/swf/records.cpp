#include "records.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace {

int FieldBits(std::initializer_list<std::int32_t> values) {
    int bits = 0;
    for (const std::int32_t value : values) {
        bits = std::max(bits, SignedBitCount(value));
    }
    return bits;
}

// Scale factors are 16.16 fixed-point numbers.
std::int32_t Fixed16(double value) {
    return static_cast<std::int32_t>(std::lround(value * 65536.0));
}

std::int16_t Scaled256(double fraction) {
    return static_cast<std::int16_t>(std::lround(fraction * 256.0));
}

} // namespace

ColorTransform Tint(const QColor& color, double opacity) {
    ColorTransform transform;
    transform.multiplyRed = Scaled256(color.redF());
    transform.multiplyGreen = Scaled256(color.greenF());
    transform.multiplyBlue = Scaled256(color.blueF());
    transform.multiplyAlpha = Scaled256(std::clamp(opacity, 0.0, 1.0));
    return transform;
}

void WriteRect(BitWriter& out, const TwipRect& rect) {
    const int bits = FieldBits({rect.xMin, rect.xMax, rect.yMin, rect.yMax});
    out.WriteUnsigned(static_cast<std::uint32_t>(bits), 5);
    for (const std::int32_t value : {rect.xMin, rect.xMax, rect.yMin, rect.yMax}) {
        out.WriteSigned(value, bits);
    }
    out.AlignToByte();
}

void WriteMatrix(BitWriter& out, const Placement& placement) {
    const bool hasScale = placement.scaleX != 1.0 || placement.scaleY != 1.0;
    out.WriteUnsigned(hasScale ? 1 : 0, 1);
    if (hasScale) {
        const std::int32_t scaleX = Fixed16(placement.scaleX);
        const std::int32_t scaleY = Fixed16(placement.scaleY);
        const int bits = FieldBits({scaleX, scaleY});
        out.WriteUnsigned(static_cast<std::uint32_t>(bits), 5);
        out.WriteSigned(scaleX, bits);
        out.WriteSigned(scaleY, bits);
    }
    out.WriteUnsigned(0, 1); // no rotation or skew
    const int bits = FieldBits({placement.translateX, placement.translateY});
    out.WriteUnsigned(static_cast<std::uint32_t>(bits), 5);
    out.WriteSigned(placement.translateX, bits);
    out.WriteSigned(placement.translateY, bits);
    out.AlignToByte();
}

void WriteColorTransformWithAlpha(BitWriter& out, const ColorTransform& t) {
    const std::initializer_list<std::int32_t> multiply = {t.multiplyRed, t.multiplyGreen,
                                                          t.multiplyBlue, t.multiplyAlpha};
    const std::initializer_list<std::int32_t> add = {t.addRed, t.addGreen, t.addBlue, t.addAlpha};
    const bool hasAdd = std::any_of(add.begin(), add.end(), [](int v) { return v != 0; });
    const bool hasMultiply =
        std::any_of(multiply.begin(), multiply.end(), [](int v) { return v != 256; });
    int bits = 0;
    if (hasMultiply) {
        bits = std::max(bits, FieldBits(multiply));
    }
    if (hasAdd) {
        bits = std::max(bits, FieldBits(add));
    }
    out.WriteUnsigned(hasAdd ? 1 : 0, 1);
    out.WriteUnsigned(hasMultiply ? 1 : 0, 1);
    out.WriteUnsigned(static_cast<std::uint32_t>(bits), 4);
    if (hasMultiply) {
        for (const std::int32_t value : multiply) {
            out.WriteSigned(value, bits);
        }
    }
    if (hasAdd) {
        for (const std::int32_t value : add) {
            out.WriteSigned(value, bits);
        }
    }
    out.AlignToByte();
}

void WriteRgb(BitWriter& out, const QColor& color) {
    out.WriteUI8(static_cast<std::uint8_t>(color.red()));
    out.WriteUI8(static_cast<std::uint8_t>(color.green()));
    out.WriteUI8(static_cast<std::uint8_t>(color.blue()));
}

void WriteRgba(BitWriter& out, const QColor& color) {
    WriteRgb(out, color);
    out.WriteUI8(static_cast<std::uint8_t>(color.alpha()));
}
