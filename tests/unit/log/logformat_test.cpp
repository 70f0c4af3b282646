#include "log/logformat.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// 31 Dec 2009, 23:59:59.042: the example time of the log's documentation.
constexpr LogTime Example{2009, 12, 31, 23, 59, 59, 42};

struct TimeCase {
    LogTime time;
    const char* lineTime;
    const char* stamp;
};

void PrintTo(const TimeCase& c, std::ostream* os) {
    *os << c.lineTime;
}

class LogTimeFormatTest : public ::testing::TestWithParam<TimeCase> {};

TEST_P(LogTimeFormatTest, LineTime) {
    EXPECT_EQ(FormatLineTime(GetParam().time), GetParam().lineTime);
}

TEST_P(LogTimeFormatTest, RotationStamp) {
    EXPECT_EQ(FormatRotationStamp(GetParam().time), GetParam().stamp);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LogTimeFormatTest,
    ::testing::Values(
        TimeCase{Example, "09/12/31-23:59:59 042", "091231_235959042"},
        TimeCase{{2000, 1, 2, 3, 4, 5, 6}, "00/01/02-03:04:05 006", "000102_030405006"},
        TimeCase{{2024, 7, 9, 0, 0, 0, 999}, "24/07/09-00:00:00 999", "240709_000000999"},
        TimeCase{{1999, 10, 20, 12, 30, 45, 100}, "99/10/20-12:30:45 100", "991020_123045100"},
        TimeCase{{2105, 6, 15, 9, 8, 7, 0}, "05/06/15-09:08:07 000", "050615_090807000"}));

struct TagCase {
    std::uint32_t level;
    const char* tag;
};

void PrintTo(const TagCase& c, std::ostream* os) {
    *os << "level " << c.level;
}

class LevelTagTest : public ::testing::TestWithParam<TagCase> {};

TEST_P(LevelTagTest, TakesTheNextPowerOfTwoAtOrAbove) {
    EXPECT_STREQ(LevelTag(GetParam().level), GetParam().tag);
}

INSTANTIATE_TEST_SUITE_P(Table, LevelTagTest,
                         ::testing::Values(TagCase{1, "ERR"}, TagCase{2, "WAN"}, TagCase{3, "INF"},
                                           TagCase{4, "INF"}, TagCase{5, "VBS"}, TagCase{7, "VBS"},
                                           TagCase{8, "VBS"}, TagCase{9, "PRF"}, TagCase{16, "PRF"},
                                           TagCase{17, "DBG"}, TagCase{32, "DBG"},
                                           TagCase{33, "xtm"}, TagCase{64, "xtm"},
                                           TagCase{65, "???"}, TagCase{128, "???"},
                                           TagCase{0x80000000u, "???"}, TagCase{0xFFFFFFFFu, "???"},
                                           TagCase{0, "???"}));

struct LineCase {
    std::uint32_t level;
    std::uint32_t process;
    std::uint32_t thread;
    const char* message;
    const char* expected;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.expected;
}

class LogLineFormatTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(LogLineFormatTest, Line) {
    const LineCase& c = GetParam();
    EXPECT_EQ(FormatLogLine(Example, c.level, c.process, c.thread, c.message), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LogLineFormatTest,
    ::testing::Values(LineCase{1, 0xABC, 0xF1C, "some message",
                               "[09/12/31-23:59:59 042][ERR][Px0ABC][Tx0F1C] some message\r\n"},
                      LineCase{4, 0, 1, "", "[09/12/31-23:59:59 042][INF][Px0000][Tx0001] \r\n"},
                      LineCase{32, 0xFFFF, 0x10000, "x",
                               "[09/12/31-23:59:59 042][DBG][PxFFFF][Tx10000] x\r\n"},
                      LineCase{2, 0xabcdef, 4194304, "100% done",
                               "[09/12/31-23:59:59 042][WAN][PxABCDEF][Tx400000] 100% done\r\n"},
                      LineCase{64, 0xFFFFFFFFu, 0x1234, "last",
                               "[09/12/31-23:59:59 042][xtm][PxFFFFFFFF][Tx1234] last\r\n"},
                      LineCase{6, 10, 255, "\xe4\xb8\xad",
                               "[09/12/31-23:59:59 042][VBS][Px000A][Tx00FF] \xe4\xb8\xad\r\n"}));

TEST(LogSeparatorTest, IsSixtyOneEqualSignsAndALineEnd) {
    EXPECT_EQ(LogSeparatorLine(), std::string(61, '=') + "\r\n");
}

LogHeaderFields ExampleHeader(bool created) {
    LogHeaderFields fields;
    fields.title = "Spoken English";
    fields.created = created;
    fields.time = Example;
    fields.applicationPath = "/opt/client/client";
    fields.modulePath = "/opt/client/audio.so";
    fields.process = 2748;
    fields.applicationVersion = "2.6.0.1";
    fields.moduleVersion = "1.2.3.4";
    return fields;
}

struct BlockCase {
    bool flag;
    const char* timeLine;
};

class LogHeaderTest : public ::testing::TestWithParam<BlockCase> {};

TEST_P(LogHeaderTest, Header) {
    const std::string separator = std::string(61, '=') + "\r\n";
    const std::string expected =
        separator + "\tQuornel log file\r\n" + "\tSubject : Spoken English\r\n" +
        GetParam().timeLine + "\tApplication: /opt/client/client\r\n" +
        "\tModule: /opt/client/audio.so\r\n" +
        "\tPID: 2748 (0x0ABC) App ver: 2.6.0.1, Module ver: 1.2.3.4\r\n" + separator;
    EXPECT_EQ(FormatLogHeader(ExampleHeader(GetParam().flag)), expected);
}

INSTANTIATE_TEST_SUITE_P(
    CreatedOrContinued, LogHeaderTest,
    ::testing::Values(BlockCase{true, "\tCreated-Time: 09/12/31-23:59:59 042\r\n"},
                      BlockCase{false, "\tContinued-Time: 09/12/31-23:59:59 042\r\n"}));

TEST(LogHeaderTest, EmptyVersionsStayEmpty) {
    LogHeaderFields fields = ExampleHeader(true);
    fields.applicationVersion.clear();
    fields.moduleVersion.clear();
    EXPECT_NE(FormatLogHeader(fields).find("\tPID: 2748 (0x0ABC) App ver: , Module ver: \r\n"),
              std::string::npos);
}

class LogFooterTest : public ::testing::TestWithParam<BlockCase> {};

TEST_P(LogFooterTest, Footer) {
    const std::string separator = std::string(61, '=') + "\r\n";
    const std::string expected =
        separator + GetParam().timeLine + "\tPID: 70000 (0x11170)\r\n" + separator;
    EXPECT_EQ(FormatLogFooter("Spoken English", GetParam().flag, Example, 70000), expected);
}

INSTANTIATE_TEST_SUITE_P(
    EndOrContinue, LogFooterTest,
    ::testing::Values(BlockCase{true, "\tSpoken English End-Time: 09/12/31-23:59:59 042\r\n"},
                      BlockCase{false,
                                "\tSpoken English Continue-Time: 09/12/31-23:59:59 042\r\n"}));

struct RotationCase {
    const char* logPath;
    const char* expected;
};

void PrintTo(const RotationCase& c, std::ostream* os) {
    *os << c.logPath;
}

class RotatedLogPathTest : public ::testing::TestWithParam<RotationCase> {};

TEST_P(RotatedLogPathTest, DropsTheExtensionAndAddsTheStamp) {
    EXPECT_EQ(RotatedLogPath(QString::fromUtf8(GetParam().logPath), "091231_235959042"),
              QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Table, RotatedLogPathTest,
    ::testing::Values(RotationCase{"/app/client.log", "/app/client_091231_235959042.log"},
                      RotationCase{"/app/client", "/app/client_091231_235959042.log"},
                      RotationCase{"/app.d/client", "/app.d/client_091231_235959042.log"},
                      RotationCase{"/app/client.tar.txt", "/app/client.tar_091231_235959042.log"},
                      RotationCase{"/app/.log", "/app/_091231_235959042.log"},
                      RotationCase{"logs/x.txt", "logs/x_091231_235959042.log"}));

} // namespace
