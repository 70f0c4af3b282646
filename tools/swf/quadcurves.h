#pragma once

#include <QPointF>

#include <vector>

struct QuadSegment {
    QPointF control;
    QPointF end;
};

// Shape records know only quadratic curves, font outlines also bring cubic ones: the cubic
// from start through controls c1, c2 to end becomes quadratics that stay within tolerance of
// it. A cubic that is an exact quadratic gives one segment.
std::vector<QuadSegment> CubicAsQuadratics(const QPointF& start, const QPointF& c1,
                                           const QPointF& c2, const QPointF& end, double tolerance);
