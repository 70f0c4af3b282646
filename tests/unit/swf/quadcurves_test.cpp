#include "quadcurves.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

QPointF Cubic(const QPointF& p0, const QPointF& p1, const QPointF& p2, const QPointF& p3,
              double t) {
    const double u = 1 - t;
    return u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
}

QPointF Quadratic(const QPointF& p0, const QPointF& p1, const QPointF& p2, double t) {
    const double u = 1 - t;
    return u * u * p0 + 2 * u * t * p1 + t * t * p2;
}

double Distance(const QPointF& a, const QPointF& b) {
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

TEST(CubicAsQuadratics, ExactQuadraticGivesItsOwnControl) {
    // The cubic form of the quadratic (0,0) (30,60) (90,0).
    const QPointF start(0, 0), control(30, 60), end(90, 0);
    const auto segments = CubicAsQuadratics(start, start + 2.0 / 3 * (control - start),
                                            end + 2.0 / 3 * (control - end), end, 0.5);
    ASSERT_EQ(segments.size(), 1U);
    EXPECT_NEAR(segments[0].control.x(), 30, 1e-9);
    EXPECT_NEAR(segments[0].control.y(), 60, 1e-9);
    EXPECT_EQ(segments[0].end, end);
}

struct CubicCase {
    const char* name;
    QPointF p0, p1, p2, p3;
    double tolerance;
};

class CubicFit : public testing::TestWithParam<CubicCase> {};

TEST_P(CubicFit, QuadraticsFollowTheCubicWithinTolerance) {
    const CubicCase& c = GetParam();
    const auto segments = CubicAsQuadratics(c.p0, c.p1, c.p2, c.p3, c.tolerance);
    ASSERT_GE(segments.size(), 2U) << "a true cubic needs more than one quadratic";
    EXPECT_EQ(segments.back().end, c.p3);
    const int pieces = static_cast<int>(segments.size());
    QPointF start = c.p0;
    double covered = 0;
    for (const QuadSegment& segment : segments) {
        // Halvings are uneven where the curve bends more; find the piece's end on the cubic.
        double tEnd = covered;
        for (double t = covered; t <= 1.0 + 1e-12; t += 1.0 / 1024) {
            if (Distance(Cubic(c.p0, c.p1, c.p2, c.p3, t), segment.end) < 1e-6) {
                tEnd = t;
                break;
            }
        }
        ASSERT_GT(tEnd, covered) << "piece end is not on the cubic";
        for (int k = 0; k <= 8; ++k) {
            const double s = k / 8.0;
            EXPECT_LE(Distance(Quadratic(start, segment.control, segment.end, s),
                               Cubic(c.p0, c.p1, c.p2, c.p3, covered + s * (tEnd - covered))),
                      c.tolerance * 1.01)
                << "piece ending at t=" << tEnd << " of " << pieces;
        }
        start = segment.end;
        covered = tEnd;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CubicFit,
    testing::Values(
        // A quarter circle of radius 1000 as Qt draws it.
        CubicCase{"quarter_circle", {1000, 0}, {1000, 552.28}, {552.28, 1000}, {0, 1000}, 1.0},
        CubicCase{"s_curve", {0, 0}, {400, 600}, {-200, 600}, {200, 0}, 1.0},
        CubicCase{"tight_tolerance", {0, 0}, {0, 300}, {300, 300}, {300, 0}, 0.05}),
    [](const testing::TestParamInfo<CubicCase>& info) { return std::string(info.param.name); });

} // namespace
