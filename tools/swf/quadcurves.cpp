#include "quadcurves.h"

#include <cmath>

namespace {

// Deep enough for any outline; a stop for degenerate input such as a zero tolerance.
constexpr int MaxHalvings = 8;

void AppendQuadratics(const QPointF& p0, const QPointF& p1, const QPointF& p2, const QPointF& p3,
                      double tolerance, int halvings, std::vector<QuadSegment>& segments) {
    // The quadratic through the cubic's ends with the mean of both control estimates strays
    // from the cubic by at most √3/36 of |p3 − 3·p2 + 3·p1 − p0|.
    const QPointF third = p3 - 3 * p2 + 3 * p1 - p0;
    const double error = std::hypot(third.x(), third.y()) * std::sqrt(3.0) / 36.0;
    if (error <= tolerance || halvings == MaxHalvings) {
        segments.push_back({(3 * (p1 + p2) - p0 - p3) / 4, p3});
        return;
    }
    const QPointF p01 = (p0 + p1) / 2;
    const QPointF p12 = (p1 + p2) / 2;
    const QPointF p23 = (p2 + p3) / 2;
    const QPointF p012 = (p01 + p12) / 2;
    const QPointF p123 = (p12 + p23) / 2;
    const QPointF middle = (p012 + p123) / 2;
    AppendQuadratics(p0, p01, p012, middle, tolerance, halvings + 1, segments);
    AppendQuadratics(middle, p123, p23, p3, tolerance, halvings + 1, segments);
}

} // namespace

std::vector<QuadSegment> CubicAsQuadratics(const QPointF& start, const QPointF& c1,
                                           const QPointF& c2, const QPointF& end,
                                           double tolerance) {
    std::vector<QuadSegment> segments;
    AppendQuadratics(start, c1, c2, end, tolerance, 0, segments);
    return segments;
}
