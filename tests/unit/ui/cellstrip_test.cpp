#include "ui/cellstrip.h"

#include "support/qtprint.h"

#include <gtest/gtest.h>

namespace {

struct SizeCase {
    QSize strip;
    int cellCount;
    QSize expected;
};

void PrintTo(const SizeCase& c, std::ostream* out) {
    PrintTo(c.strip, out);
    *out << " in " << c.cellCount << " cells";
}

class CellStripSize : public testing::TestWithParam<SizeCase> {};

TEST_P(CellStripSize, FollowsTheStrip) {
    const SizeCase& c = GetParam();
    EXPECT_EQ(CellStripControlSize(c.strip, c.cellCount), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CellStripSize,
    testing::Values(SizeCase{{130, 26}, 2, {65, 26}},  // the message box buttons
                    SizeCase{{130, 26}, 3, {43, 26}},  // width truncated, not rounded
                    SizeCase{{131, 26}, 2, {65, 26}},  // an odd strip loses its last column
                    SizeCase{{130, 26}, 1, {130, 26}}, // a single cell is the whole strip
                    SizeCase{{1500, 40}, 10, {150, 40}},
                    SizeCase{{0, 0}, 10, {150, 150}},  // no strip at all
                    SizeCase{{130, 0}, 2, {150, 150}}, // no height: both sides fall back
                    SizeCase{{9, 26}, 10, {150, 150}}, // cells narrower than a pixel
                    SizeCase{{254, 20}, 255, {150, 150}}, SizeCase{{255, 20}, 255, {1, 20}}));

struct SourceCase {
    int cell;
    QSize control;
    QRect expected;
};

void PrintTo(const SourceCase& c, std::ostream* out) {
    *out << "cell " << c.cell << " of ";
    PrintTo(c.control, out);
}

class CellSource : public testing::TestWithParam<SourceCase> {};

TEST_P(CellSource, PicksTheCellCountedFromOne) {
    const SourceCase& c = GetParam();
    EXPECT_EQ(CellSourceRect(c.cell, c.control), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, CellSource,
                         testing::Values(SourceCase{1, {65, 26}, {0, 0, 65, 26}},
                                         SourceCase{2, {65, 26}, {65, 0, 65, 26}},
                                         SourceCase{3, {43, 26}, {86, 0, 43, 26}},
                                         SourceCase{10, {150, 150}, {1350, 0, 150, 150}}));

struct CellCase {
    int requested;
    int cellCount;
    int expected;
};

void PrintTo(const CellCase& c, std::ostream* out) {
    *out << "cell " << c.requested << " of " << c.cellCount;
}

class CellLimit : public testing::TestWithParam<CellCase> {};

TEST_P(CellLimit, StaysWithinTheCount) {
    const CellCase& c = GetParam();
    EXPECT_EQ(CellWithin(c.requested, c.cellCount), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, CellLimit,
                         testing::Values(CellCase{1, 2, 1}, CellCase{2, 2, 2}, CellCase{5, 2, 2},
                                         CellCase{2, 1, 1}, CellCase{255, 10, 10},
                                         CellCase{7, 255, 7}));

struct PointerCase {
    QPoint pointer;
    bool outside;
};

void PrintTo(const PointerCase& c, std::ostream* out) {
    PrintTo(c.pointer, out);
}

class HoverEdge : public testing::TestWithParam<PointerCase> {};

TEST_P(HoverEdge, RightAndBottomEdgesCountAsInside) {
    const PointerCase& c = GetParam();
    EXPECT_EQ(PointerOutside(c.pointer, {65, 26}), c.outside);
}

INSTANTIATE_TEST_SUITE_P(Cases, HoverEdge,
                         testing::Values(PointerCase{{0, 0}, false}, PointerCase{{30, 13}, false},
                                         PointerCase{{65, 26}, false}, PointerCase{{65, 0}, false},
                                         PointerCase{{0, 26}, false}, PointerCase{{66, 10}, true},
                                         PointerCase{{10, 27}, true}, PointerCase{{-1, 10}, true},
                                         PointerCase{{10, -1}, true}, PointerCase{{-5, 40}, true}));

} // namespace
