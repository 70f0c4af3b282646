#include "ui/windowregion.h"

#include "support/qtprint.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct InsetCase {
    int ellipse;
    int height;
    std::vector<int> topRows; // insets of the first rows, mirrored at the bottom
};

void PrintTo(const InsetCase& c, std::ostream* out) {
    *out << c.ellipse << "x" << c.ellipse << " corners, " << c.height << " rows";
}

class RoundedCorners : public testing::TestWithParam<InsetCase> {};

TEST_P(RoundedCorners, RowsLoseTheirCornerPixels) {
    const InsetCase& c = GetParam();
    for (int row = 0; row < static_cast<int>(c.topRows.size()); ++row) {
        EXPECT_EQ(RoundedRowInset(row, c.height, c.ellipse, c.ellipse), c.topRows[row])
            << "row " << row;
        EXPECT_EQ(RoundedRowInset(c.height - 1 - row, c.height, c.ellipse, c.ellipse),
                  c.topRows[row])
            << "row " << c.height - 1 - row;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, RoundedCorners,
                         testing::Values(InsetCase{4, 150, {1, 0, 0}},
                                         InsetCase{16, 600, {5, 3, 2, 1, 1, 0, 0, 0, 0}},
                                         InsetCase{0, 20, {0, 0}}));

TEST(RoundedCorners, RegionOfTheMessageBox) {
    const QRegion region = RoundedWindowRegion({318, 150}, 4, 4);
    EXPECT_EQ(region.boundingRect(), QRect(0, 0, 318, 150));
    for (const QPoint corner : {QPoint(0, 0), QPoint(317, 0), QPoint(0, 149), QPoint(317, 149)})
        EXPECT_FALSE(region.contains(corner)) << corner.x() << "," << corner.y();
    for (const QPoint kept : {QPoint(1, 0), QPoint(316, 0), QPoint(0, 1), QPoint(317, 148),
                              QPoint(159, 75), QPoint(1, 149)})
        EXPECT_TRUE(region.contains(kept)) << kept.x() << "," << kept.y();
}

TEST(RoundedCorners, RegionOfTheMainWindow) {
    const QRegion region = RoundedWindowRegion({800, 600}, 16, 16);
    EXPECT_EQ(region.boundingRect(), QRect(0, 0, 800, 600));
    EXPECT_FALSE(region.contains(QPoint(4, 0)));
    EXPECT_TRUE(region.contains(QPoint(5, 0)));
    EXPECT_FALSE(region.contains(QPoint(795, 0)));
    EXPECT_TRUE(region.contains(QPoint(794, 0)));
    EXPECT_FALSE(region.contains(QPoint(0, 4)));
    EXPECT_TRUE(region.contains(QPoint(0, 5)));
    EXPECT_TRUE(region.contains(QPoint(0, 300)));
    EXPECT_FALSE(region.contains(QPoint(799, 596)));
}

} // namespace
