#include "log/logger.h"
#include "log/tzarqlogger.h"

#include "logtestsupport.h"
#include "platform/processinfo.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include <cstdio>
#include <regex>
#include <set>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Keys = std::map<std::string, std::string>;

std::string VersionText() {
    char text[64];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", PARVELO_VERSION_MAJOR, PARVELO_VERSION_MINOR,
                  PARVELO_VERSION_PATCH, PARVELO_VERSION_TWEAK);
    return text;
}

std::string Hex4(long value) {
    char text[32];
    std::snprintf(text, sizeof text, "%4.4lX", static_cast<unsigned long>(value));
    return text;
}

class LoggerTest : public LogDirFixture {
protected:
    // Opens the logger on a settings file holding keys; the log file is client.log beside the
    // module unless keys say otherwise.
    bool OpenWith(TzarqLogger& logger, Keys keys,
                  const QString& section = QStringLiteral("logger")) {
        keys.emplace("file", "client.log");
        WriteConf(keys);
        return logger.Open(ConfPath(), true, section, ModulePath());
    }

    QString LogPath() const { return Path("client.log"); }
    std::string Shape(const QString& path) const { return DescribeLog(ReadAll(path)).shape; }

    std::vector<std::string> Shapes() const {
        std::vector<std::string> shapes;
        for (const QString& file : LogFiles())
            shapes.push_back(Shape(file));
        return shapes;
    }

    // Every log line's message: the rotated files' from the oldest on, then the current one's.
    std::vector<std::string> MessagesOldestFirst() const {
        QStringList files = LogFiles();
        if (!files.isEmpty())
            files.move(0, files.size() - 1);
        std::vector<std::string> messages;
        for (const QString& file : files) {
            const LogShape shape = DescribeLog(ReadAll(file));
            messages.insert(messages.end(), shape.messages.begin(), shape.messages.end());
        }
        return messages;
    }
};

// Collects what output bits 2 and 4 send out.
struct Capture {
    std::vector<std::string> console;
    std::vector<std::string> debugger;

    void Attach(TzarqLogger& logger) {
        logger.SetConsoleOutput([this](std::string_view line) { console.emplace_back(line); });
        logger.SetDebuggerOutput([this](std::string_view line) { debugger.emplace_back(line); });
    }
};

TEST_F(LoggerTest, FirstOpenCreatesTheFileWithACreatedHeader) {
    TzarqLogger logger;
    ASSERT_TRUE(OpenWith(logger, {{"title", "Spoken English"}}));
    logger.Log(LogError, "hello %d", 1);
    logger.Close();
    EXPECT_EQ(Shape(LogPath()), "Hc L Fe");
}

TEST_F(LoggerTest, HeaderAndFooterNameTheProgramModuleAndProcess) {
    TzarqLogger logger;
    ASSERT_TRUE(OpenWith(logger, {{"title", "Spoken English"}}));
    logger.Close();

    const std::vector<std::string> lines = SplitCrLf(ReadAll(LogPath()));
    const long pid = CurrentProcessNumber();
    const std::string pidText = "\tPID: " + std::to_string(pid) + " (0x" + Hex4(pid) + ")";
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[1], "\tQuornel log file");
    EXPECT_EQ(lines[2], "\tSubject : Spoken English");
    EXPECT_EQ(lines[4], "\tApplication: " + ExecutablePath().toStdString());
    EXPECT_EQ(lines[5], "\tModule: " + ModulePath().toStdString());
    EXPECT_EQ(lines[6], pidText + " App ver: " + VersionText() + ", Module ver: " + VersionText());
    EXPECT_EQ(lines[9].rfind("\tSpoken English End-Time: ", 0), 0u) << lines[9];
    EXPECT_EQ(lines[10], pidText);
}

TEST_F(LoggerTest, ModuleOfNoNameIsTheProgram) {
    TzarqLogger logger;
    ASSERT_TRUE(logger.Open(LogPath(), false, QString()));
    logger.Close();
    const std::vector<std::string> lines = SplitCrLf(ReadAll(LogPath()));
    ASSERT_GT(lines.size(), 5u);
    EXPECT_EQ(lines[5], "\tModule: " + ExecutablePath().toStdString());
}

TEST_F(LoggerTest, MissingModuleFileHasNoVersion) {
    TzarqLogger logger;
    ASSERT_TRUE(logger.Open(LogPath(), false, QString(), Path("gone")));
    logger.Close();
    const std::vector<std::string> lines = SplitCrLf(ReadAll(LogPath()));
    ASSERT_GT(lines.size(), 6u);
    const long pid = CurrentProcessNumber();
    EXPECT_EQ(lines[6], "\tPID: " + std::to_string(pid) + " (0x" + Hex4(pid) +
                            ") App ver: " + VersionText() + ", Module ver: ");
}

struct RunCase {
    const char* name;
    const char* existing; // content before the first opening; nullptr: no file
    int runs;
    const char* expected;
};

void PrintTo(const RunCase& c, std::ostream* os) {
    *os << c.name;
}

class LoggerRunTest : public LoggerTest, public ::testing::WithParamInterface<RunCase> {};

TEST_P(LoggerRunTest, EachOpeningAddsAFramedRun) {
    const RunCase& c = GetParam();
    if (c.existing)
        WriteAll(LogPath(), c.existing);
    for (int run = 0; run < c.runs; ++run) {
        TzarqLogger logger;
        ASSERT_TRUE(OpenWith(logger, {}));
        logger.Log(LogInfo, "run %d", run);
    }
    EXPECT_EQ(Shape(LogPath()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LoggerRunTest,
    ::testing::Values(RunCase{"NoFile", nullptr, 1, "Hc L Fe"},
                      RunCase{"NoFileTwoRuns", nullptr, 2, "Hc L Fe _ Hn L Fe"},
                      RunCase{"NoFileThreeRuns", nullptr, 3, "Hc L Fe _ Hn L Fe _ Hn L Fe"},
                      RunCase{"EmptyFile", "", 1, "Hn L Fe"},
                      RunCase{"EmptyFileTwoRuns", "", 2, "Hn L Fe _ Hn L Fe"},
                      RunCase{"ForeignContentStays", "old line\r\n", 1, "? _ Hn L Fe"}));

TEST_F(LoggerTest, EarlierContentStaysInFront) {
    WriteAll(LogPath(), "kept as it was\r\n");
    TzarqLogger logger;
    ASSERT_TRUE(OpenWith(logger, {}));
    logger.Close();
    EXPECT_TRUE(ReadAll(LogPath()).startsWith("kept as it was\r\n\r\n===="));
}

TEST_F(LoggerTest, OpeningAgainClosesTheRunFirst) {
    TzarqLogger logger;
    ASSERT_TRUE(OpenWith(logger, {}));
    logger.Log(LogError, "first");
    ASSERT_TRUE(OpenWith(logger, {}));
    logger.Log(LogError, "second");
    logger.Close();
    const LogShape shape = DescribeLog(ReadAll(LogPath()));
    EXPECT_EQ(shape.shape, "Hc L Fe _ Hn L Fe");
    EXPECT_EQ(shape.messages, (std::vector<std::string>{"first", "second"}));
}

struct RotationCase {
    const char* name;
    const char* maxsize;
    const char* overwrite;
    int lines;
    std::vector<std::string> shapes; // current file first, then the rotated ones, oldest first
    int firstKept;                   // the first line still in some file
};

void PrintTo(const RotationCase& c, std::ostream* os) {
    *os << c.name;
}

class LoggerRotationTest : public LoggerTest, public ::testing::WithParamInterface<RotationCase> {};

TEST_P(LoggerRotationTest, FilesAfterwards) {
    const RotationCase& c = GetParam();
    TzarqLogger logger;
    ASSERT_TRUE(OpenWith(logger, {{"maxsize", c.maxsize}, {"overwrite", c.overwrite}}));
    for (int i = 1; i <= c.lines; ++i)
        logger.Log(LogError, "line %d", i);
    logger.Close();
    EXPECT_EQ(Shapes(), c.shapes);

    std::vector<std::string> expected;
    for (int i = c.firstKept; i <= c.lines; ++i)
        expected.push_back("line " + std::to_string(i));
    EXPECT_EQ(MessagesOldestFirst(), expected);
}

std::string ManyLines(int count) {
    std::string shape = "Hc";
    for (int i = 0; i < count; ++i)
        shape += " L";
    return shape + " Fe";
}

INSTANTIATE_TEST_SUITE_P(
    Table, LoggerRotationTest,
    ::testing::Values(
        RotationCase{
            "ZeroKeepsEveryFile", "0", "0", 3, {"Hn L Fe", "Hc Fc", "Hn L Fc", "Hn L Fc"}, 1},
        RotationCase{"ZeroOneLine", "0", "0", 1, {"Hn L Fe", "Hc Fc"}, 1},
        RotationCase{"ZeroNoLines", "0", "0", 0, {"Hc Fe"}, 1},
        RotationCase{"ZeroOverwriteKeepsOnlyTheCurrentFile", "0", "1", 3, {"Hn L Fe"}, 3},
        RotationCase{"NegativeNeverRotates", "-1", "0", 30, {ManyLines(30)}, 1},
        RotationCase{"AllBitsNeverRotate", "$FFFFFFFF", "0", 30, {ManyLines(30)}, 1},
        RotationCase{"LargeLimitNotReached", "100000", "0", 30, {ManyLines(30)}, 1}));

TEST_F(LoggerTest, RotatedFilesAreNamedAfterTheLogAndTheTime) {
    TzarqLogger logger;
    ASSERT_TRUE(OpenWith(logger, {{"maxsize", "0"}}));
    logger.Log(LogError, "one");
    logger.Close();
    const QStringList files = LogFiles();
    ASSERT_EQ(files.size(), 2);
    EXPECT_EQ(files[0], LogPath());
    const std::regex rotated(R"(client_\d{6}_\d{9}\.log)");
    EXPECT_TRUE(std::regex_match(QFileInfo(files[1]).fileName().toStdString(), rotated))
        << files[1].toStdString();
}

TEST_F(LoggerTest, RotationsWithinOneMillisecondKeepEveryFile) {
    constexpr int Lines = 25;
    TzarqLogger logger;
    ASSERT_TRUE(OpenWith(logger, {{"maxsize", "0"}, {"overwrite", "0"}}));
    for (int i = 1; i <= Lines; ++i)
        logger.Log(LogError, "line %d", i);
    logger.Close();

    EXPECT_EQ(LogFiles().size(), Lines + 1);
    std::vector<std::string> expected;
    for (int i = 1; i <= Lines; ++i)
        expected.push_back("line " + std::to_string(i));
    EXPECT_EQ(MessagesOldestFirst(), expected);
}

TEST_F(LoggerTest, FileExceedsTheLimitByOneLineAtMost) {
    constexpr int Limit = 1500;
    TzarqLogger logger;
    ASSERT_TRUE(OpenWith(logger, {{"maxsize", std::to_string(Limit)}}));
    for (int i = 1; i <= 80; ++i)
        logger.Log(LogError, "a line of some length, number %d", i);
    logger.Close();

    const QStringList files = LogFiles();
    ASSERT_GT(files.size(), 2);
    const std::string footerStart = std::string(61, '=') + "\r\n\t";
    for (int i = 1; i < files.size(); ++i) {
        const std::string content = ReadAll(files[i]).toStdString();
        const std::size_t footer = content.rfind(footerStart);
        ASSERT_NE(footer, std::string::npos);
        const std::size_t lastLine = content.rfind("\r\n[", footer) + 2;
        ASSERT_LT(lastLine, footer);
        // Before its last line the file was within the limit; with it, past it.
        EXPECT_LE(lastLine, static_cast<std::size_t>(Limit)) << files[i].toStdString();
        EXPECT_GT(footer, static_cast<std::size_t>(Limit)) << files[i].toStdString();
    }
    EXPECT_EQ(MessagesOldestFirst().size(), 80u);
}

struct OutputCase {
    int output;
    bool file;
    bool console;
    bool debugger;
};

void PrintTo(const OutputCase& c, std::ostream* os) {
    *os << "output " << c.output;
}

class LoggerOutputTest : public LoggerTest, public ::testing::WithParamInterface<OutputCase> {};

TEST_P(LoggerOutputTest, LinesGoWhereTheBitsSay) {
    const OutputCase& c = GetParam();
    TzarqLogger logger;
    Capture capture;
    capture.Attach(logger);
    ASSERT_TRUE(OpenWith(logger, {{"output", std::to_string(c.output)}}));
    logger.Log(LogError, "to %s", "somewhere");
    logger.Close();

    EXPECT_EQ(QFileInfo::exists(LogPath()), c.file);
    if (c.file) {
        EXPECT_EQ(Shape(LogPath()), "Hc L Fe");
    }
    ASSERT_EQ(capture.console.size(), c.console ? 1u : 0u);
    ASSERT_EQ(capture.debugger.size(), c.debugger ? 1u : 0u);
    // Each channel gets the whole line; standard output's extra line end is the console's own
    // (see the terminal test).
    std::vector<std::string> sent = capture.console;
    sent.insert(sent.end(), capture.debugger.begin(), capture.debugger.end());
    for (const std::string& line : sent) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(line, match, std::regex("(.*)\r\n"))) << line;
        EXPECT_TRUE(std::regex_match(std::string(match[1]), LogLinePattern())) << line;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, LoggerOutputTest,
    ::testing::Values(OutputCase{0, false, false, false}, OutputCase{1, true, false, false},
                      OutputCase{2, false, true, false}, OutputCase{4, false, false, true},
                      OutputCase{5, true, false, true}, OutputCase{7, true, true, true},
                      OutputCase{8, false, false, false}));

TEST_F(LoggerTest, OutputZeroWritesNothingAtAllAndStillOpens) {
    TzarqLogger logger;
    Capture capture;
    capture.Attach(logger);
    EXPECT_TRUE(OpenWith(logger, {{"output", "0"}, {"level", "-1"}}));
    for (std::uint32_t level = 1; level != 0; level <<= 1)
        logger.Log(level, "nothing");
    logger.Write("nothing");
    logger.Close();
    EXPECT_TRUE(LogFiles(QString()).isEmpty());
    EXPECT_TRUE(capture.console.empty());
    EXPECT_TRUE(capture.debugger.empty());
}

struct LevelCase {
    const char* levelSet;
    std::vector<std::uint32_t> logged;
    std::vector<std::string> tags;
};

void PrintTo(const LevelCase& c, std::ostream* os) {
    *os << "level set " << c.levelSet;
}

class LoggerLevelTest : public LoggerTest, public ::testing::WithParamInterface<LevelCase> {};

TEST_P(LoggerLevelTest, OnlyLevelsInTheSetAreWritten) {
    const LevelCase& c = GetParam();
    TzarqLogger logger;
    ASSERT_TRUE(OpenWith(logger, {{"level", c.levelSet}}));
    for (const std::uint32_t level : c.logged)
        logger.Log(level, "level %u", level);
    logger.Close();
    const LogShape shape = DescribeLog(ReadAll(LogPath()));
    EXPECT_EQ(shape.tags, c.tags);
    EXPECT_EQ(shape.shape.substr(0, 2), "Hc");
    EXPECT_EQ(shape.shape.substr(shape.shape.size() - 2), "Fe");
}

const std::vector<std::uint32_t> EveryLevel = {1, 2, 4, 8, 16, 32, 64, 128};

INSTANTIATE_TEST_SUITE_P(
    Table, LoggerLevelTest,
    ::testing::Values(
        LevelCase{"7", EveryLevel, {"ERR", "WAN", "INF"}}, LevelCase{"0", EveryLevel, {}},
        LevelCase{"32", EveryLevel, {"DBG"}},
        LevelCase{"$7F", EveryLevel, {"ERR", "WAN", "INF", "VBS", "PRF", "DBG", "xtm"}},
        LevelCase{"-1", EveryLevel, {"ERR", "WAN", "INF", "VBS", "PRF", "DBG", "xtm", "???"}},
        LevelCase{"1", {3, 2, 5}, {"INF", "VBS"}}, LevelCase{"abc", {1, 8}, {"ERR"}}));

TEST_F(LoggerTest, LevelZeroStillFramesTheRun) {
    TzarqLogger logger;
    ASSERT_TRUE(OpenWith(logger, {{"level", "0"}}));
    for (const std::uint32_t level : EveryLevel)
        logger.Log(level, "never");
    logger.Write("never");
    logger.Close();
    EXPECT_EQ(Shape(LogPath()), "Hc Fe");
}

TEST_F(LoggerTest, ConfiguredRelativePathIsUnderTheModuleDirectory) {
    ASSERT_TRUE(QDir().mkpath(Path("Log")));
    WriteConf({{"file", "Log\\client.log"}});
    TzarqLogger logger;
    ASSERT_TRUE(logger.Open(ConfPath(), true, QStringLiteral("logger"), ModulePath()));
    EXPECT_EQ(logger.FilePath(), Path("Log/client.log"));
    logger.Log(LogError, "here");
    logger.Close();
    EXPECT_EQ(Shape(Path("Log/client.log")), "Hc L Fe");
}

TEST_F(LoggerTest, ConfiguredAbsolutePathIsUsedAsItIs) {
    QTemporaryDir elsewhere;
    const QString target = elsewhere.path() + QStringLiteral("/abs.log");
    WriteConf({{"file", target.toStdString()}});
    TzarqLogger logger;
    ASSERT_TRUE(logger.Open(ConfPath(), true, QStringLiteral("logger"), ModulePath()));
    logger.Close();
    EXPECT_EQ(Shape(target), "Hc Fe");
}

TEST_F(LoggerTest, WithoutSettingsThePathIsTheLogFile) {
    TzarqLogger logger;
    ASSERT_TRUE(logger.Open(QStringLiteral("direct.log"), false, QString(), ModulePath()));
    EXPECT_EQ(logger.FilePath(), Path("direct.log"));
    logger.Log(LogError, "direct");
    logger.Close();
    EXPECT_EQ(Shape(Path("direct.log")), "Hc L Fe");
}

TEST_F(LoggerTest, MissingSettingsFileMeansDefaults) {
    TzarqLogger logger;
    ASSERT_TRUE(logger.Open(Path("absent.ini"), true, QStringLiteral("logger"), ModulePath()));
    EXPECT_EQ(logger.FilePath(), Path("zoravoraz.log"));
    logger.Close();
    const std::vector<std::string> lines = SplitCrLf(ReadAll(Path("zoravoraz.log")));
    ASSERT_GT(lines.size(), 2u);
    EXPECT_EQ(lines[2], "\tSubject : Tavro Platform Running Information");
}

TEST_F(LoggerTest, SettingsFileNotFoundIsLookedForBesideTheModule) {
    WriteConf({{"file", "beside.log"}});
    TzarqLogger logger;
    ASSERT_TRUE(
        logger.Open(QStringLiteral("/no/such/dir/conf.ini"), true, QString(), ModulePath()));
    EXPECT_EQ(logger.FilePath(), Path("beside.log"));
}

struct SectionCase {
    const char* section;
    const char* title;
};

void PrintTo(const SectionCase& c, std::ostream* os) {
    *os << '"' << c.section << '"';
}

class LoggerSectionTest : public LoggerTest, public ::testing::WithParamInterface<SectionCase> {};

TEST_P(LoggerSectionTest, ReadsTheNamedSectionOrLogger) {
    WriteAll(ConfPath(), "[other]\r\ntitle=from other\r\nfile=client.log\r\n"
                         "[logger]\r\ntitle=from logger\r\nfile=client.log\r\n");
    TzarqLogger logger;
    ASSERT_TRUE(logger.Open(ConfPath(), true, QString::fromUtf8(GetParam().section), ModulePath()));
    logger.Close();
    const std::vector<std::string> lines = SplitCrLf(ReadAll(LogPath()));
    ASSERT_GT(lines.size(), 2u);
    EXPECT_EQ(lines[2], std::string("\tSubject : ") + GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(Table, LoggerSectionTest,
                         ::testing::Values(SectionCase{"", "from logger"},
                                           SectionCase{"logger", "from logger"},
                                           SectionCase{"other", "from other"}));

TEST_F(LoggerTest, UnopenableLogFileGivesFalseAndOtherOutputsGoOn) {
    TzarqLogger logger;
    Capture capture;
    capture.Attach(logger);
    WriteConf({{"file", "no_such_dir/client.log"}, {"output", "5"}});
    EXPECT_FALSE(logger.Open(ConfPath(), true, QStringLiteral("logger"), ModulePath()));
    logger.Log(LogError, "still seen");
    logger.Close();
    EXPECT_FALSE(QFileInfo::exists(Path("no_such_dir")));
    ASSERT_EQ(capture.debugger.size(), 1u);
    EXPECT_NE(capture.debugger[0].find("still seen"), std::string::npos);
}

TEST_F(LoggerTest, UnopenableLockGivesFalseAndNothingIsWritten) {
    // A lock file name longer than the system allows cannot be opened.
    const QString module = Path(std::string(250, 'm').c_str());
    WriteConf({{"file", "client.log"}, {"output", "5"}});
    TzarqLogger logger;
    Capture capture;
    capture.Attach(logger);
    EXPECT_FALSE(logger.Open(ConfPath(), true, QStringLiteral("logger"), module));
    logger.Log(LogError, "lost");
    logger.Close();
    EXPECT_FALSE(QFileInfo::exists(LogPath()));
    EXPECT_TRUE(capture.debugger.empty());
}

TEST_F(LoggerTest, ClosedLoggerWritesNothing) {
    TzarqLogger logger;
    Capture capture;
    capture.Attach(logger);
    logger.Log(LogError, "nowhere");
    logger.Write("nowhere");
    logger.Flush();
    logger.Close();
    EXPECT_TRUE(LogFiles(QString()).isEmpty());
    EXPECT_TRUE(capture.debugger.empty());
}

TEST_F(LoggerTest, CloseResetsTheConfiguration) {
    TzarqLogger logger;
    ASSERT_TRUE(OpenWith(logger, {{"level", "1"}, {"maxsize", "77"}, {"title", "t"}}));
    EXPECT_EQ(logger.Configuration().maxsize, 77);
    logger.Close();
    EXPECT_EQ(logger.Configuration().maxsize, TzarqLogCfg::DefaultMaxSize);
    EXPECT_EQ(logger.Configuration().level, TzarqLogCfg::DefaultLevel);
    EXPECT_EQ(logger.Configuration().title, QString::fromUtf8(TzarqLogCfg::DefaultTitle));
}

TEST_F(LoggerTest, LongMessagesArriveWhole) {
    const std::string message = std::string(3000, 'x') + " end";
    TzarqLogger logger;
    ASSERT_TRUE(OpenWith(logger, {}));
    logger.Log(LogError, "%s", message.c_str());
    logger.Log(LogError, "%.511s|", message.c_str());
    logger.Close();
    const LogShape shape = DescribeLog(ReadAll(LogPath()));
    ASSERT_EQ(shape.messages.size(), 2u);
    EXPECT_EQ(shape.messages[0], message);
    EXPECT_EQ(shape.messages[1], message.substr(0, 511) + "|");
}

TEST_F(LoggerTest, WriteIsAnErrorLine) {
    TzarqLogger logger;
    ASSERT_TRUE(OpenWith(logger, {}));
    logger.Write("written %s", "now");
    logger.Flush();
    const LogShape shape = DescribeLog(ReadAll(LogPath()));
    EXPECT_EQ(shape.shape, "Hc L");
    EXPECT_EQ(shape.tags, std::vector<std::string>{"ERR"});
    EXPECT_EQ(shape.messages, std::vector<std::string>{"written now"});
}

// Two loggers in one process stand for two processes: each has its own descriptor and its own
// hold on the lock file.
struct FollowCase {
    const char* name;
    const char* overwrite;
    bool secondLogs; // the second logger writes a line after the rotation, before closing
    const char* current;
    std::vector<std::string> messages;
};

void PrintTo(const FollowCase& c, std::ostream* os) {
    *os << c.name;
}

class LoggerFollowTest : public LoggerTest, public ::testing::WithParamInterface<FollowCase> {};

TEST_P(LoggerFollowTest, NothingGoesIntoAFileAnotherLoggerRotatedAway) {
    const FollowCase& c = GetParam();
    TzarqLogger first;
    TzarqLogger second;
    ASSERT_TRUE(OpenWith(first, {{"maxsize", "0"}, {"overwrite", c.overwrite}}));
    ASSERT_TRUE(OpenWith(second, {{"maxsize", "-1"}, {"overwrite", c.overwrite}}));
    first.Log(LogError, "from first"); // rotates: second's file is gone from the path
    if (c.secondLogs)
        second.Log(LogError, "from second");
    second.Close();
    first.Close();

    const LogShape current = DescribeLog(ReadAll(LogPath()));
    EXPECT_EQ(current.shape, c.current);
    EXPECT_EQ(current.messages, c.messages);
    // The rotated-away file ends with the footer of the rotation.
    for (int i = 1; i < LogFiles().size(); ++i)
        EXPECT_EQ(Shape(LogFiles()[i]), "Hc _ Hn Fc");
}

INSTANTIATE_TEST_SUITE_P(
    Table, LoggerFollowTest,
    ::testing::Values(
        FollowCase{"KeptLine", "0", true, "Hn L L Fe Fe", {"from first", "from second"}},
        FollowCase{"DeletedLine", "1", true, "Hn L L Fe Fe", {"from first", "from second"}},
        FollowCase{"KeptClose", "0", false, "Hn L Fe Fe", {"from first"}},
        FollowCase{"DeletedClose", "1", false, "Hn L Fe Fe", {"from first"}}));

TEST_F(LoggerTest, FileDeletedByHandIsCreatedAgain) {
    constexpr int Lines = 200;
    TzarqLogger logger;
    ASSERT_TRUE(OpenWith(logger, {}));
    logger.Log(LogError, "before");
    ASSERT_TRUE(QFile::remove(LogPath()));
    for (int i = 1; i <= Lines; ++i)
        logger.Log(LogError, "after %d", i);
    logger.Close();

    // The logger notices within a few lines; from then on every line is in the new file.
    const LogShape shape = DescribeLog(ReadAll(LogPath()));
    ASSERT_FALSE(shape.messages.empty());
    EXPECT_EQ(shape.shape.substr(0, 5), "Hn L ");
    EXPECT_EQ(shape.shape.substr(shape.shape.size() - 4), "L Fe");
    const int first = Lines - static_cast<int>(shape.messages.size()) + 1;
    for (std::size_t i = 0; i < shape.messages.size(); ++i)
        EXPECT_EQ(shape.messages[i], "after " + std::to_string(first + static_cast<int>(i)));
}

TEST_F(LoggerTest, LoggersOfOneModuleWithTheirOwnFilesRotateEachAtItsLimit) {
    constexpr int Limit = 1200;
    TzarqLogger first;
    TzarqLogger second;
    WriteConf({{"file", "first.log"}, {"maxsize", std::to_string(Limit)}});
    ASSERT_TRUE(first.Open(ConfPath(), true, QStringLiteral("logger"), ModulePath()));
    WriteConf({{"file", "second.log"}, {"maxsize", std::to_string(Limit)}});
    ASSERT_TRUE(second.Open(ConfPath(), true, QStringLiteral("logger"), ModulePath()));
    for (int i = 1; i <= 60; ++i) {
        first.Log(LogError, "first logger, line number %d", i);
        if (i % 3 == 0)
            second.Log(LogError, "second logger, line number %d", i);
    }
    first.Close();
    second.Close();

    for (const char* base : {"first", "second"}) {
        const QStringList files = LogFiles(QString::fromUtf8(base));
        ASSERT_GT(files.size(), 1) << base;
        const std::string footerStart = std::string(61, '=') + "\r\n\t";
        for (int i = 1; i < files.size(); ++i) {
            const std::string content = ReadAll(files[i]).toStdString();
            const std::size_t footer = content.rfind(footerStart);
            const std::size_t lastLine = content.rfind("\r\n[", footer) + 2;
            ASSERT_LT(lastLine, footer) << files[i].toStdString();
            EXPECT_LE(lastLine, static_cast<std::size_t>(Limit)) << files[i].toStdString();
            EXPECT_GT(footer, static_cast<std::size_t>(Limit)) << files[i].toStdString();
        }
    }
}

TEST_F(LoggerTest, CloseDoesNotRecreateADeletedFile) {
    TzarqLogger logger;
    ASSERT_TRUE(OpenWith(logger, {}));
    ASSERT_TRUE(QFile::remove(LogPath()));
    logger.Close();
    EXPECT_FALSE(QFileInfo::exists(LogPath()));
}

TEST_F(LoggerTest, ThreadsTakeTurnsWithoutLosingOrTearingLines) {
    constexpr int Threads = 4;
    constexpr int Lines = 200;
    TzarqLogger logger;
    ASSERT_TRUE(OpenWith(logger, {{"maxsize", "3000"}}));
    std::vector<long> numbers(Threads);
    std::vector<std::thread> threads;
    for (int t = 0; t < Threads; ++t)
        threads.emplace_back([&logger, &numbers, t] {
            numbers[static_cast<std::size_t>(t)] = CurrentThreadNumber();
            for (int i = 0; i < Lines; ++i)
                logger.Log(LogError, "thread %d line %d", t, i);
        });
    for (std::thread& thread : threads)
        thread.join();
    logger.Close();

    std::multiset<std::string> seen;
    for (const QString& file : LogFiles()) {
        const LogShape shape = DescribeLog(ReadAll(file));
        EXPECT_EQ(shape.shape.find('?'), std::string::npos) << file.toStdString();
        seen.insert(shape.messages.begin(), shape.messages.end());
        // Each line names the thread that wrote it.
        for (std::size_t i = 0; i < shape.messages.size(); ++i) {
            const int t = std::stoi(shape.messages[i].substr(7));
            EXPECT_EQ(shape.threads[i], Hex4(numbers[static_cast<std::size_t>(t)]))
                << shape.messages[i];
            EXPECT_EQ(shape.processes[i], Hex4(CurrentProcessNumber()));
        }
    }
    ASSERT_EQ(seen.size(), static_cast<std::size_t>(Threads * Lines));
    for (int t = 0; t < Threads; ++t)
        for (int i = 0; i < Lines; ++i)
            EXPECT_EQ(seen.count("thread " + std::to_string(t) + " line " + std::to_string(i)), 1u);
}

TEST_F(LoggerTest, LinesOfAForkedChildCarryTheChildsNumbers) {
    TzarqLogger logger;
    ASSERT_TRUE(OpenWith(logger, {}));
    logger.Log(LogError, "parent");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        logger.Log(LogError, "child");
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    logger.Log(LogError, "parent again");
    logger.Close();

    const LogShape shape = DescribeLog(ReadAll(LogPath()));
    ASSERT_EQ(shape.messages, (std::vector<std::string>{"parent", "child", "parent again"}));
    const std::string parent = Hex4(CurrentProcessNumber());
    EXPECT_EQ(shape.processes, (std::vector<std::string>{parent, Hex4(child), parent}));
    EXPECT_EQ(shape.threads, (std::vector<std::string>{Hex4(CurrentThreadNumber()), Hex4(child),
                                                       Hex4(CurrentThreadNumber())}));
}

class GlobalLogTest : public LoggerTest {
protected:
    void TearDown() override {
        CloseLog();
        LoggerTest::TearDown();
    }
};

struct GlobalCase {
    const char* levelSet;
    std::vector<std::string> tags; // of WriteLog's line, then WarnLogText's, then DebugLog's
};

void PrintTo(const GlobalCase& c, std::ostream* os) {
    *os << "level set " << c.levelSet;
}

class GlobalLogLevelTest : public GlobalLogTest,
                           public ::testing::WithParamInterface<GlobalCase> {};

TEST_P(GlobalLogLevelTest, WriteLogIsErrorWarnLogTextWarningAndDebugLogDebug) {
    WriteConf({{"file", "client.log"}, {"level", GetParam().levelSet}});
    ASSERT_TRUE(OpenLog(ConfPath(), true, QStringLiteral("logger"), ModulePath()));
    WriteLog("TTipCheckRec.NextTip Exception ERROR[%s]", "no device");
    WarnLogText(QStringLiteral("certificate refused"));
    DebugLog("decided %d", 2);
    CloseLog();
    const LogShape shape = DescribeLog(ReadAll(LogPath()));
    EXPECT_EQ(shape.tags, GetParam().tags);
}

INSTANTIATE_TEST_SUITE_P(Table, GlobalLogLevelTest,
                         ::testing::Values(GlobalCase{"7", {"ERR", "WAN"}},
                                           GlobalCase{"33", {"ERR", "DBG"}},
                                           GlobalCase{"32", {"DBG"}}, GlobalCase{"6", {"WAN"}},
                                           GlobalCase{"2", {"WAN"}},
                                           GlobalCase{"39", {"ERR", "WAN", "DBG"}}));

TEST_F(GlobalLogTest, WriteLogFormatsItsArguments) {
    ASSERT_TRUE(OpenLog(LogPath(), false, QString(), ModulePath()));
    WriteLog("TTipCheckRec.NextTip Exception ERROR[%s]", "no device");
    CloseLog();
    const LogShape shape = DescribeLog(ReadAll(LogPath()));
    EXPECT_EQ(shape.shape, "Hc L Fe");
    EXPECT_EQ(shape.messages,
              std::vector<std::string>{"TTipCheckRec.NextTip Exception ERROR[no device]"});
}

TEST_F(GlobalLogTest, RoutinesAreHarmlessWhileClosed) {
    CloseLog();
    WriteLog("nowhere");
    DebugLog("nowhere");
    CloseLog();
    EXPECT_TRUE(LogFiles(QString()).isEmpty());
}

} // namespace
