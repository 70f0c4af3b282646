#include "log/lognumber.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>

namespace {

struct NumberCase {
    const char* text;
    std::optional<std::int32_t> expected; // nullopt: not a number
};

void PrintTo(const NumberCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class LogNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(LogNumberTest, ParsesAsTheSettingsFileWritesNumbers) {
    const NumberCase& c = GetParam();
    EXPECT_EQ(ParseLogNumber(QString::fromUtf8(c.text)), c.expected);
}

constexpr std::int32_t Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t Max = std::numeric_limits<std::int32_t>::max();

INSTANTIATE_TEST_SUITE_P(
    Decimal, LogNumberTest,
    ::testing::Values(NumberCase{"0", 0}, NumberCase{"7", 7}, NumberCase{"10000000", 10000000},
                      NumberCase{"+12", 12}, NumberCase{"-1", -1}, NumberCase{"-0", 0},
                      NumberCase{"0007", 7}, NumberCase{"00000000000000000042", 42},
                      NumberCase{"2147483647", Max}, NumberCase{"-2147483648", Min}));

INSTANTIATE_TEST_SUITE_P(
    Hexadecimal, LogNumberTest,
    ::testing::Values(NumberCase{"$1F", 31}, NumberCase{"$1f", 31}, NumberCase{"$0", 0},
                      NumberCase{"-$10", -16}, NumberCase{"+$A", 10}, NumberCase{"0x10", 16},
                      NumberCase{"0X1f", 31}, NumberCase{"0x1", 1}, NumberCase{"-0x10", -16},
                      NumberCase{"$7FFFFFFF", Max}, NumberCase{"$FFFFFFFF", -1},
                      NumberCase{"0x80000000", Min}, NumberCase{"-$80000000", Min},
                      NumberCase{"$0000000000FF", 255}));

INSTANTIATE_TEST_SUITE_P(
    NotNumbers, LogNumberTest,
    ::testing::Values(NumberCase{"", std::nullopt}, NumberCase{"yes", std::nullopt},
                      NumberCase{"true", std::nullopt}, NumberCase{"12abc", std::nullopt},
                      NumberCase{"1.5", std::nullopt}, NumberCase{" 5", std::nullopt},
                      NumberCase{"5 ", std::nullopt}, NumberCase{"-", std::nullopt},
                      NumberCase{"+", std::nullopt}, NumberCase{"$", std::nullopt},
                      NumberCase{"-$", std::nullopt}, NumberCase{"$G", std::nullopt},
                      NumberCase{"0x", std::nullopt}, NumberCase{"0X", std::nullopt},
                      NumberCase{"-0x", std::nullopt}, NumberCase{"0xZ", std::nullopt},
                      NumberCase{"1F", std::nullopt}, NumberCase{"--1", std::nullopt},
                      NumberCase{"$-1", std::nullopt}, NumberCase{"x10", std::nullopt}));

INSTANTIATE_TEST_SUITE_P(OutOfRange, LogNumberTest,
                         ::testing::Values(NumberCase{"2147483648", std::nullopt},
                                           NumberCase{"-2147483649", std::nullopt},
                                           NumberCase{"4294967295", std::nullopt},
                                           NumberCase{"99999999999999999999", std::nullopt},
                                           NumberCase{"$100000000", std::nullopt},
                                           NumberCase{"0x100000000", std::nullopt},
                                           NumberCase{"-$80000001", std::nullopt},
                                           NumberCase{"-$FFFFFFFF", std::nullopt}));

struct DefaultCase {
    const char* text;
    std::int32_t defaultValue;
    std::int32_t expected;
};

void PrintTo(const DefaultCase& c, std::ostream* os) {
    *os << '"' << c.text << "\" default " << c.defaultValue;
}

class LogIntegerTest : public ::testing::TestWithParam<DefaultCase> {};

TEST_P(LogIntegerTest, GivesTheDefaultForNonNumbersOnly) {
    const DefaultCase& c = GetParam();
    EXPECT_EQ(ParseLogInteger(QString::fromUtf8(c.text), c.defaultValue), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, LogIntegerTest,
                         ::testing::Values(DefaultCase{"", 10000000, 10000000},
                                           DefaultCase{"abc", 7, 7}, DefaultCase{"0x", 1, 1},
                                           DefaultCase{"2147483648", 5, 5}, DefaultCase{"0", 7, 0},
                                           DefaultCase{"-5", 7, -5}, DefaultCase{"$1F", 7, 31}));

struct BooleanCase {
    const char* text;
    bool defaultValue;
    bool expected;
};

void PrintTo(const BooleanCase& c, std::ostream* os) {
    *os << '"' << c.text << "\" default " << c.defaultValue;
}

class LogBooleanTest : public ::testing::TestWithParam<BooleanCase> {};

TEST_P(LogBooleanTest, IsANumberNonzeroMeaningTrue) {
    const BooleanCase& c = GetParam();
    EXPECT_EQ(ParseLogBoolean(QString::fromUtf8(c.text), c.defaultValue), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LogBooleanTest,
    ::testing::Values(BooleanCase{"1", false, true}, BooleanCase{"0", true, false},
                      BooleanCase{"-1", false, true}, BooleanCase{"2", false, true},
                      BooleanCase{"$0", true, false}, BooleanCase{"0x10", false, true},
                      BooleanCase{"", false, false}, BooleanCase{"", true, true},
                      BooleanCase{"true", false, false}, BooleanCase{"false", true, true},
                      BooleanCase{"yes", false, false}, BooleanCase{"0x", true, true},
                      BooleanCase{"9999999999", false, false},
                      BooleanCase{"9999999999", true, true}));

} // namespace
