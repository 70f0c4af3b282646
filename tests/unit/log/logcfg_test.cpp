#include "log/logcfg.h"

#include "logtestsupport.h"

#include <gtest/gtest.h>

namespace {

// The values a configuration holds, for comparing in one go.
struct CfgValues {
    bool flush;
    bool overwrite;
    std::int32_t maxsize;
    std::int32_t output;
    std::int32_t level;
    std::string title;
    std::string file;

    bool operator==(const CfgValues& o) const {
        return flush == o.flush && overwrite == o.overwrite && maxsize == o.maxsize &&
               output == o.output && level == o.level && title == o.title && file == o.file;
    }
};

std::ostream& operator<<(std::ostream& os, const CfgValues& v) {
    return os << "{flush " << v.flush << ", overwrite " << v.overwrite << ", maxsize " << v.maxsize
              << ", output " << v.output << ", level " << v.level << ", title \"" << v.title
              << "\", file \"" << v.file << "\"}";
}

CfgValues ValuesOf(const TzarqLogCfg& cfg) {
    return {cfg.flush, cfg.overwrite,           cfg.maxsize,           cfg.output,
            cfg.level, cfg.title.toStdString(), cfg.file.toStdString()};
}

const CfgValues Defaults{
    false, false, 10000000, 1, 7, "Tavro Platform Running Information", "zoravoraz.log"};

void Scramble(TzarqLogCfg& cfg) {
    cfg.flush = true;
    cfg.overwrite = true;
    cfg.maxsize = 5;
    cfg.output = 6;
    cfg.level = 0;
    cfg.title = QStringLiteral("changed");
    cfg.file = QStringLiteral("changed.log");
}

TEST(LogCfgTest, StartsWithTheDefaults) {
    EXPECT_EQ(ValuesOf(TzarqLogCfg()), Defaults);
}

TEST(LogCfgTest, ResetRestoresEveryDefault) {
    TzarqLogCfg cfg;
    Scramble(cfg);
    cfg.Reset();
    EXPECT_EQ(ValuesOf(cfg), Defaults);
}

TEST(LogCfgTest, MissingFileChangesNothing) {
    QTemporaryDir dir;
    TzarqLogCfg cfg;
    Scramble(cfg);
    const CfgValues before = ValuesOf(cfg);
    EXPECT_FALSE(cfg.LoadFromIni(dir.path() + QStringLiteral("/none.ini"), QString()));
    EXPECT_EQ(ValuesOf(cfg), before);
}

struct LoadCase {
    const char* name;
    const char* ini;
    const char* section;
    CfgValues expected;
};

void PrintTo(const LoadCase& c, std::ostream* os) {
    *os << c.name;
}

class LogCfgLoadTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LogCfgLoadTest, ReadsTheSection) {
    const LoadCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/conf.ini");
    WriteAll(path, c.ini);
    TzarqLogCfg cfg;
    Scramble(cfg);
    EXPECT_TRUE(cfg.LoadFromIni(path, QString::fromUtf8(c.section)));
    EXPECT_EQ(ValuesOf(cfg), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LogCfgLoadTest,
    ::testing::Values(
        LoadCase{"AllKeys",
                 "[logger]\r\nflush=1\r\noverwrite=1\r\nmaxsize=2000\r\noutput=5\r\nlevel=33\r\n"
                 "title=Spoken English\r\nfile=Log\\client.log\r\n",
                 "logger",
                 {true, true, 2000, 5, 33, "Spoken English", "Log\\client.log"}},
        LoadCase{"HexAndSigns",
                 "[logger]\nmaxsize=-1\noutput=$7\nlevel=0x7F\noverwrite=0X1\n",
                 "logger",
                 {false, true, -1, 7, 127, Defaults.title, Defaults.file}},
        LoadCase{"NonNumbersGiveDefaults",
                 "[logger]\nflush=yes\noverwrite=true\nmaxsize=big\noutput=0x\nlevel=\n", "logger",
                 Defaults},
        LoadCase{"OutOfRangeGivesDefault", "[logger]\nmaxsize=4294967296\n", "logger", Defaults},
        LoadCase{"EmptySectionNameReadsLogger",
                 "[other]\nlevel=1\n[logger]\nlevel=3\ntitle=from logger\n",
                 "",
                 {false, false, 10000000, 1, 3, "from logger", "zoravoraz.log"}},
        LoadCase{"NamedSection",
                 "[logger]\nlevel=3\n[other]\nlevel=1\noutput=0\n",
                 "other",
                 {false, false, 10000000, 0, 1, Defaults.title, Defaults.file}},
        LoadCase{"SectionAndKeysIgnoreCase",
                 "[LOGGER]\nLevel=2\nOUTPUT=4\n",
                 "logger",
                 {false, false, 10000000, 4, 2, Defaults.title, Defaults.file}},
        LoadCase{"NoSuchSection", "[app]\ntitle=x\n", "logger", Defaults},
        LoadCase{"EmptyValuesOfTexts",
                 "[logger]\ntitle=\nfile=\n",
                 "logger",
                 {false, false, 10000000, 1, 7, "", ""}},
        LoadCase{"QuotedAndPaddedValues",
                 "[logger]\ntitle = \"  Spoken  \"\nmaxsize = 300\nfile=/var/log/c.log\n",
                 "logger",
                 {false, false, 300, 1, 7, "  Spoken  ", "/var/log/c.log"}}));

} // namespace
