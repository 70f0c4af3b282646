#include "shaperecords.h"

#include "quadcurves.h"

#include <QPoint>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <stdexcept>

namespace {

// How far a curve may stray from the outline, in twips: a twentieth of a pixel.
constexpr double CurveTolerance = 1.0;
// Edge deltas are stored in 2 + (a 4-bit count) bits.
constexpr int MaxEdgeBits = 17;

QPointF InTwips(const QPointF& pixels) {
    return pixels * TwipsPerPixel;
}

QPoint Rounded(const QPointF& twips) {
    return {static_cast<int>(std::lround(twips.x())), static_cast<int>(std::lround(twips.y()))};
}

int EdgeBits(std::initializer_list<int> deltas) {
    int bits = 2;
    for (const int delta : deltas) {
        bits = std::max(bits, SignedBitCount(delta));
    }
    if (bits > MaxEdgeBits) {
        throw std::range_error("shape edge too long");
    }
    return bits;
}

class EdgeWriter {
public:
    explicit EdgeWriter(BitWriter& out) : FOut(out) {}

    void MoveTo(const QPoint& point) {
        CloseSubpath();
        const int bits = std::max(SignedBitCount(point.x()), SignedBitCount(point.y()));
        FOut.WriteUnsigned(0, 1); // style change record
        FOut.WriteUnsigned(0, 1); // no new styles
        FOut.WriteUnsigned(0, 1); // line style unchanged
        FOut.WriteUnsigned(FFillChosen ? 0 : 1, 1);
        FOut.WriteUnsigned(0, 1); // fill style 0 unchanged
        FOut.WriteUnsigned(1, 1); // move
        FOut.WriteUnsigned(static_cast<std::uint32_t>(bits), 5);
        FOut.WriteSigned(point.x(), bits);
        FOut.WriteSigned(point.y(), bits);
        if (!FFillChosen) {
            // Fill style 1 (the first and only fill) right of every edge.
            FOut.WriteUnsigned(1, 1);
            FFillChosen = true;
        }
        FStart = point;
        FCurrent = point;
        FOpen = true;
    }

    void LineTo(const QPoint& point) {
        const QPoint delta = point - FCurrent;
        if (delta.isNull()) {
            return;
        }
        const int bits = EdgeBits({delta.x(), delta.y()});
        FOut.WriteUnsigned(1, 1); // edge record
        FOut.WriteUnsigned(1, 1); // straight
        FOut.WriteUnsigned(static_cast<std::uint32_t>(bits - 2), 4);
        const bool general = delta.x() != 0 && delta.y() != 0;
        FOut.WriteUnsigned(general ? 1 : 0, 1);
        if (general) {
            FOut.WriteSigned(delta.x(), bits);
            FOut.WriteSigned(delta.y(), bits);
        } else {
            const bool vertical = delta.x() == 0;
            FOut.WriteUnsigned(vertical ? 1 : 0, 1);
            FOut.WriteSigned(vertical ? delta.y() : delta.x(), bits);
        }
        FCurrent = point;
    }

    void QuadTo(const QPoint& control, const QPoint& point) {
        // A control point on either end (after rounding) bends nothing.
        if (control == FCurrent || control == point) {
            LineTo(point);
            return;
        }
        const QPoint controlDelta = control - FCurrent;
        const QPoint anchorDelta = point - control;
        const int bits =
            EdgeBits({controlDelta.x(), controlDelta.y(), anchorDelta.x(), anchorDelta.y()});
        FOut.WriteUnsigned(1, 1); // edge record
        FOut.WriteUnsigned(0, 1); // curved
        FOut.WriteUnsigned(static_cast<std::uint32_t>(bits - 2), 4);
        for (const int delta :
             {controlDelta.x(), controlDelta.y(), anchorDelta.x(), anchorDelta.y()}) {
            FOut.WriteSigned(delta, bits);
        }
        FCurrent = point;
    }

    void CloseSubpath() {
        if (FOpen) {
            LineTo(FStart);
        }
        FOpen = false;
    }

private:
    BitWriter& FOut;
    QPoint FStart;
    QPoint FCurrent;
    bool FOpen = false;
    bool FFillChosen = false;
};

} // namespace

void WriteShapeRecords(BitWriter& out, const QPainterPath& path) {
    out.WriteUnsigned(1, 4); // fill index bits
    out.WriteUnsigned(0, 4); // line index bits
    EdgeWriter edges(out);
    QPointF current;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element element = path.elementAt(i);
        if (element.isMoveTo()) {
            edges.MoveTo(Rounded(InTwips(element)));
        } else if (element.isLineTo()) {
            edges.LineTo(Rounded(InTwips(element)));
        } else if (element.isCurveTo()) {
            const QPointF c2 = path.elementAt(i + 1);
            const QPointF end = path.elementAt(i + 2);
            i += 2;
            const auto quads = CubicAsQuadratics(InTwips(current), InTwips(element), InTwips(c2),
                                                 InTwips(end), CurveTolerance);
            for (const QuadSegment& quad : quads) {
                edges.QuadTo(Rounded(quad.control), Rounded(quad.end));
            }
            current = end;
            continue;
        }
        current = element;
    }
    edges.CloseSubpath();
    out.WriteUnsigned(0, 6); // end of shape
    out.AlignToByte();
}

TwipRect TwipBounds(const QPainterPath& path) {
    const QRectF bounds = path.boundingRect();
    return {static_cast<std::int32_t>(std::floor(bounds.left() * TwipsPerPixel)),
            static_cast<std::int32_t>(std::ceil(bounds.right() * TwipsPerPixel)),
            static_cast<std::int32_t>(std::floor(bounds.top() * TwipsPerPixel)),
            static_cast<std::int32_t>(std::ceil(bounds.bottom() * TwipsPerPixel))};
}
