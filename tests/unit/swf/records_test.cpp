#include "records.h"
#include "swfreader.h"

#include <gtest/gtest.h>

namespace {

struct MatrixCase {
    const char* name;
    Placement placement;
    bool storesScale;
};

class MatrixRecord : public testing::TestWithParam<MatrixCase> {};

TEST_P(MatrixRecord, ReadsBack) {
    const MatrixCase& c = GetParam();
    BitWriter out;
    WriteMatrix(out, c.placement);
    BitReader in(out.Bytes());
    const SwfMatrix matrix = ReadMatrix(in);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_NEAR(matrix.scaleX, c.placement.scaleX, 1.0 / 65536);
    EXPECT_NEAR(matrix.scaleY, c.placement.scaleY, 1.0 / 65536);
    EXPECT_EQ(matrix.translateX, c.placement.translateX);
    EXPECT_EQ(matrix.translateY, c.placement.translateY);
    EXPECT_EQ((static_cast<std::uint8_t>(out.Bytes().at(0)) & 0x80) != 0, c.storesScale);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MatrixRecord,
    testing::Values(MatrixCase{"identity", {}, false},
                    MatrixCase{"move_only", {1.0, 1.0, 4800, -200}, false},
                    MatrixCase{"shrink", {0.01, 1.0, 1800, 3160}, true},
                    MatrixCase{"grow_and_move_back", {1.25, 1.25, -400, 4600}, true},
                    MatrixCase{"mirror", {-1.0, 2.5, 0, 0}, true}),
    [](const testing::TestParamInfo<MatrixCase>& info) { return std::string(info.param.name); });

struct TransformCase {
    const char* name;
    ColorTransform transform;
    int multiply[4];
    int add[4];
    int bytes;
};

class ColorTransformRecord : public testing::TestWithParam<TransformCase> {};

TEST_P(ColorTransformRecord, ReadsBack) {
    const TransformCase& c = GetParam();
    BitWriter out;
    WriteColorTransformWithAlpha(out, c.transform);
    EXPECT_EQ(out.Bytes().size(), c.bytes);
    BitReader in(out.Bytes());
    const SwfColorTransform read = ReadColorTransformWithAlpha(in);
    for (int channel = 0; channel < 4; ++channel) {
        EXPECT_EQ(read.multiply[channel], c.multiply[channel]) << "channel " << channel;
        EXPECT_EQ(read.add[channel], c.add[channel]) << "channel " << channel;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ColorTransformRecord,
    testing::Values(
        // Nothing to change: the flags and a zero bit count only.
        TransformCase{"identity", {}, {256, 256, 256, 256}, {0, 0, 0, 0}, 1},
        // Four multiply terms of 9 bits (223 and a sign) after 6 bits of flags and count.
        TransformCase{"tint_half_transparent",
                      Tint(QColor(0x4a, 0x90, 0xde), 0.5),
                      {74, 145, 223, 128},
                      {0, 0, 0, 0},
                      6},
        TransformCase{
            "transparent", Tint(QColor(255, 255, 255), 0.0), {256, 256, 256, 0}, {0, 0, 0, 0}, 6},
        TransformCase{"add_terms_negative",
                      {256, 256, 256, 256, -255, 10, 0, 0},
                      {256, 256, 256, 256},
                      {-255, 10, 0, 0},
                      6},
        TransformCase{"small_add_terms_fit_two_bytes",
                      {256, 256, 256, 256, 1, -1, 0, 0},
                      {256, 256, 256, 256},
                      {1, -1, 0, 0},
                      2}),
    [](const testing::TestParamInfo<TransformCase>& info) { return std::string(info.param.name); });

TEST(Tint, OpacityIsClamped) {
    EXPECT_EQ(Tint(QColor(0, 0, 0), 1.7).multiplyAlpha, 256);
    EXPECT_EQ(Tint(QColor(0, 0, 0), -0.3).multiplyAlpha, 0);
}

struct RectCase {
    const char* name;
    TwipRect rect;
    int fieldBits;
};

class RectRecord : public testing::TestWithParam<RectCase> {};

TEST_P(RectRecord, ReadsBackInTheFewestBits) {
    const RectCase& c = GetParam();
    BitWriter out;
    WriteRect(out, c.rect);
    EXPECT_EQ(static_cast<std::uint8_t>(out.Bytes().at(0)) >> 3, c.fieldBits);
    BitReader in(out.Bytes());
    const SwfRect read = ReadRect(in);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(read.xMin, c.rect.xMin);
    EXPECT_EQ(read.xMax, c.rect.xMax);
    EXPECT_EQ(read.yMin, c.rect.yMin);
    EXPECT_EQ(read.yMax, c.rect.yMax);
}

INSTANTIATE_TEST_SUITE_P(Cases, RectRecord,
                         testing::Values(RectCase{"empty", {0, 0, 0, 0}, 0},
                                         RectCase{"stage", {0, 9600, 0, 5200}, 15},
                                         RectCase{"negative_corner", {-1000, 20, -3, 2}, 11},
                                         RectCase{"minus_one", {-1, 0, -1, 0}, 1}),
                         [](const testing::TestParamInfo<RectCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
