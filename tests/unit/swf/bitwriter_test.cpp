#include "bitwriter.h"
#include "swfreader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

struct WidthCase {
    std::int64_t value;
    int unsignedBits; // -1: not an unsigned value
    int signedBits;
};

class FieldWidths : public testing::TestWithParam<WidthCase> {};

TEST_P(FieldWidths, AreTheFewestThatHoldTheValue) {
    const WidthCase& c = GetParam();
    EXPECT_EQ(SignedBitCount(static_cast<std::int32_t>(c.value)), c.signedBits);
    if (c.unsignedBits >= 0) {
        EXPECT_EQ(UnsignedBitCount(static_cast<std::uint32_t>(c.value)), c.unsignedBits);
    }
}

TEST_P(FieldWidths, SignedValuesReadBackInTheirWidth) {
    const WidthCase& c = GetParam();
    const auto value = static_cast<std::int32_t>(c.value);
    BitWriter out;
    out.WriteUnsigned(1, 1); // off the byte boundary on purpose
    out.WriteSigned(value, c.signedBits);
    BitReader in(out.Bytes());
    in.ReadUnsigned(1);
    EXPECT_EQ(in.ReadSigned(c.signedBits), value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FieldWidths,
    testing::Values(WidthCase{0, 0, 0}, WidthCase{1, 1, 2}, WidthCase{-1, -1, 1},
                    WidthCase{2, 2, 3}, WidthCase{-2, -1, 2}, WidthCase{3, 2, 3},
                    WidthCase{-3, -1, 3}, WidthCase{-4, -1, 3}, WidthCase{4, 3, 4},
                    WidthCase{255, 8, 9}, WidthCase{256, 9, 10}, WidthCase{-256, -1, 9},
                    WidthCase{-257, -1, 10}, WidthCase{9600, 14, 15}, WidthCase{-9600, -1, 15},
                    WidthCase{65536, 17, 18},
                    WidthCase{std::numeric_limits<std::int32_t>::max(), 31, 32},
                    WidthCase{std::numeric_limits<std::int32_t>::min(), -1, 32}),
    [](const testing::TestParamInfo<WidthCase>& info) {
        const std::int64_t value = info.param.value;
        return (value < 0 ? "minus_" : "plus_") + std::to_string(std::abs(value));
    });

TEST(BitWriter, UnsignedWidthOfTheTopBit) {
    EXPECT_EQ(UnsignedBitCount(0xFFFFFFFFU), 32);
    EXPECT_EQ(UnsignedBitCount(0x80000000U), 32);
}

struct PackingCase {
    const char* name;
    void (*write)(BitWriter&);
    QByteArray expected;
};

class Packing : public testing::TestWithParam<PackingCase> {};

TEST_P(Packing, GivesTheBytes) {
    BitWriter out;
    GetParam().write(out);
    EXPECT_EQ(out.Bytes().toHex(), GetParam().expected.toHex());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Packing,
    testing::Values(PackingCase{"most_significant_bit_first",
                                [](BitWriter& out) { out.WriteUnsigned(1, 1); },
                                QByteArray::fromHex("80")},
                    PackingCase{"fields_run_across_bytes",
                                [](BitWriter& out) {
                                    out.WriteUnsigned(0b101, 3);
                                    out.WriteUnsigned(0b11110000, 8);
                                },
                                QByteArray::fromHex("be00")},
                    PackingCase{"negative_is_twos_complement",
                                [](BitWriter& out) { out.WriteSigned(-3, 4); },
                                QByteArray::fromHex("d0")},
                    PackingCase{"zero_width_writes_nothing",
                                [](BitWriter& out) {
                                    out.WriteSigned(0, 0);
                                    out.WriteUnsigned(0, 0);
                                },
                                QByteArray()},
                    PackingCase{"bytes_start_on_a_boundary",
                                [](BitWriter& out) {
                                    out.WriteUnsigned(1, 1);
                                    out.WriteUI8(0x7f);
                                },
                                QByteArray::fromHex("807f")},
                    PackingCase{"whole_numbers_little_endian",
                                [](BitWriter& out) {
                                    out.WriteUI16(0x1234);
                                    out.WriteUI32(0xA1B2C3D4);
                                },
                                QByteArray::fromHex("3412d4c3b2a1")},
                    PackingCase{"align_on_a_boundary_adds_nothing",
                                [](BitWriter& out) {
                                    out.WriteUnsigned(0xAB, 8);
                                    out.AlignToByte();
                                    out.WriteBytes("F");
                                },
                                QByteArray::fromHex("ab46")}),
    [](const testing::TestParamInfo<PackingCase>& info) { return std::string(info.param.name); });

} // namespace
