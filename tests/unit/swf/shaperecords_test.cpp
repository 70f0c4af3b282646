#include "shaperecords.h"
#include "swfreader.h"

#include <QPainterPath>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

ShapeOutline RoundTrip(const QPainterPath& path) {
    BitWriter out;
    WriteShapeRecords(out, path);
    BitReader in(out.Bytes());
    ShapeOutline outline = ReadShapeRecords(in);
    EXPECT_TRUE(in.AtEnd()) << "bytes left after the end record";
    return outline;
}

int CurveCount(const ShapeOutline& outline) {
    return static_cast<int>(std::count_if(outline.edges.begin(), outline.edges.end(),
                                          [](const ShapeEdge& edge) { return edge.curved; }));
}

// Every edge starts where the one before it ended, and each subpath ends where it began.
void ExpectClosedSubpaths(const ShapeOutline& outline) {
    ASSERT_FALSE(outline.edges.empty());
    std::size_t start = 0;
    for (std::size_t i = 1; i <= outline.edges.size(); ++i) {
        const bool subpathEnds =
            i == outline.edges.size() || outline.edges[i].from != outline.edges[i - 1].to;
        if (subpathEnds) {
            EXPECT_EQ(outline.edges[i - 1].to, outline.edges[start].from) << "edge " << i - 1;
            start = i;
        }
    }
}

QRect PointBounds(const ShapeOutline& outline) {
    QRect bounds(outline.edges.front().from, outline.edges.front().from);
    for (const ShapeEdge& edge : outline.edges) {
        bounds = bounds.united(QRect(edge.to, edge.to));
    }
    return bounds;
}

TEST(ShapeRecords, SquareIsOneMoveAndFourAxisEdges) {
    QPainterPath square;
    square.addRect(10, 20, 30, 30);
    const ShapeOutline outline = RoundTrip(square);
    EXPECT_EQ(outline.moves, 1);
    EXPECT_EQ(outline.fillStyle1Changes, 1);
    ASSERT_EQ(outline.edges.size(), 4U);
    EXPECT_EQ(CurveCount(outline), 0);
    for (const ShapeEdge& edge : outline.edges) {
        EXPECT_FALSE(edge.general) << "axis-parallel edges keep one delta";
    }
    EXPECT_EQ(outline.subpathStarts.front(), QPoint(200, 400));
    EXPECT_EQ(PointBounds(outline), QRect(QPoint(200, 400), QPoint(800, 1000)));
    ExpectClosedSubpaths(outline);
}

TEST(ShapeRecords, CircleStaysOnItsRadius) {
    const double radius = 50; // pixels
    QPainterPath circle;
    circle.addEllipse(QPointF(100, 60), radius, radius);
    const ShapeOutline outline = RoundTrip(circle);
    EXPECT_EQ(outline.moves, 1);
    ASSERT_GE(CurveCount(outline), 4);
    EXPECT_EQ(CurveCount(outline), static_cast<int>(outline.edges.size()));
    const QPointF centre(2000, 1200);
    for (const ShapeEdge& edge : outline.edges) {
        // The middle of each quadratic, where it strays most from its ends.
        const QPointF middle =
            (QPointF(edge.from) + 2 * QPointF(edge.control) + QPointF(edge.to)) / 4;
        for (const QPointF& point : {QPointF(edge.to), middle}) {
            EXPECT_NEAR(std::hypot(point.x() - centre.x(), point.y() - centre.y()), radius * 20,
                        2.0);
        }
    }
    EXPECT_EQ(PointBounds(outline), QRect(QPoint(1000, 200), QPoint(3000, 2200)));
    ExpectClosedSubpaths(outline);
}

TEST(ShapeRecords, QuadraticsStayOneEdgeEach) {
    QPainterPath path;
    path.moveTo(0, 0);
    path.quadTo(10, 20, 20, 0);
    path.quadTo(30, -20, 40, 0);
    path.closeSubpath();
    const ShapeOutline outline = RoundTrip(path);
    ASSERT_EQ(outline.edges.size(), 3U);
    EXPECT_EQ(CurveCount(outline), 2);
    EXPECT_EQ(outline.edges[0].control, QPoint(200, 400));
    EXPECT_EQ(outline.edges[1].control, QPoint(600, -400));
    EXPECT_EQ(outline.edges[2].to, QPoint(0, 0));
    EXPECT_FALSE(outline.edges[2].general);
}

TEST(ShapeRecords, OpenSubpathsAreClosedAndEachGetsAMove) {
    QPainterPath path;
    path.moveTo(0, 0);
    path.lineTo(10, 5);
    path.lineTo(0, 10); // left open
    path.moveTo(50, 50);
    path.lineTo(60, 50);
    path.lineTo(60, 60);
    const ShapeOutline outline = RoundTrip(path);
    EXPECT_EQ(outline.moves, 2);
    EXPECT_EQ(outline.fillStyle1Changes, 1) << "the fill is chosen once";
    EXPECT_EQ(outline.edges.size(), 6U);
    ExpectClosedSubpaths(outline);
}

TEST(ShapeRecords, EdgesShorterThanATwipVanish) {
    QPainterPath path;
    path.moveTo(0, 0);
    path.lineTo(0.01, 0);
    path.lineTo(10, 0);
    path.lineTo(10, 10);
    path.closeSubpath();
    EXPECT_EQ(RoundTrip(path).edges.size(), 3U);
}

TEST(ShapeRecords, NegativeCoordinates) {
    QPainterPath path;
    path.addRect(-30, -10, 60, 20);
    const ShapeOutline outline = RoundTrip(path);
    EXPECT_EQ(outline.subpathStarts.front(), QPoint(-600, -200));
    EXPECT_EQ(PointBounds(outline), QRect(QPoint(-600, -200), QPoint(600, 200)));
}

TEST(ShapeRecords, EdgeTooLongForARecordIsRefused) {
    QPainterPath path;
    path.addRect(0, 0, 4000, 10); // 80 000 twips
    BitWriter out;
    EXPECT_THROW(WriteShapeRecords(out, path), std::range_error);
}

TEST(ShapeRecords, LongestEdgeThatFits) {
    QPainterPath path;
    path.addRect(0, 0, 3276, 10); // 65 520 twips, one below the 17-bit limit
    EXPECT_EQ(RoundTrip(path).edges.size(), 4U);
}

TEST(TwipBounds, RoundsOutwards) {
    QPainterPath path;
    path.addRect(QRectF(0.52, -1.03, 10, 2));
    const TwipRect bounds = TwipBounds(path);
    EXPECT_EQ(bounds.xMin, 10);
    EXPECT_EQ(bounds.xMax, 211);
    EXPECT_EQ(bounds.yMin, -21);
    EXPECT_EQ(bounds.yMax, 20);
}

} // namespace
