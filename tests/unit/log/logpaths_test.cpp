#include "log/logpaths.h"

#include "logtestsupport.h"

#include <gtest/gtest.h>

namespace {

struct PathCase {
    const char* configured;
    const char* expected;
};

void PrintTo(const PathCase& c, std::ostream* os) {
    *os << c.configured;
}

class LogFilePathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(LogFilePathTest, PlacesRelativePathsInTheModuleDirectory) {
    EXPECT_EQ(
        ResolveLogFilePath(QString::fromUtf8(GetParam().configured), QStringLiteral("/opt/client")),
        QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Table, LogFilePathTest,
    ::testing::Values(PathCase{"zoravoraz.log", "/opt/client/zoravoraz.log"},
                      PathCase{"Log\\client.log", "/opt/client/Log/client.log"},
                      PathCase{"Log/client.log", "/opt/client/Log/client.log"},
                      PathCase{"..\\logs\\c.log", "/opt/client/../logs/c.log"},
                      PathCase{"/var/log/client.log", "/var/log/client.log"},
                      PathCase{"\\var\\log\\client.log", "/var/log/client.log"},
                      PathCase{"\\\\server\\share\\c.log", "//server/share/c.log"}));

class LogSettingsPathTest : public LogDirFixture {};

TEST_F(LogSettingsPathTest, ExistingFileIsUsedWherever) {
    const QString elsewhere = Path("elsewhere");
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    WriteAll(elsewhere + QStringLiteral("/my.ini"), "[logger]\n");
    EXPECT_EQ(ResolveSettingsPath(elsewhere + QStringLiteral("/my.ini"), Path("module")),
              elsewhere + QStringLiteral("/my.ini"));
}

TEST_F(LogSettingsPathTest, NameInAnotherLetterCaseCountsAsExisting) {
    WriteAll(Path("Conf.ini"), "[logger]\n");
    EXPECT_EQ(ResolveSettingsPath(Path("conf.ini"), QStringLiteral("/nowhere")), Path("Conf.ini"));
}

TEST_F(LogSettingsPathTest, MissingFileIsLookedForInTheModuleDirectory) {
    EXPECT_EQ(
        ResolveSettingsPath(QStringLiteral("/no/such/dir/conf.ini"), QStringLiteral("/opt/client")),
        QStringLiteral("/opt/client/conf.ini"));
}

TEST_F(LogSettingsPathTest, RelativeExistingFileIsMadeAbsolute) {
    WriteAll(Path("rel.ini"), "[logger]\n");
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir_.path()));
    const QString resolved = ResolveSettingsPath(QStringLiteral("rel.ini"), Path("module"));
    QDir::setCurrent(previous);
    EXPECT_EQ(QFileInfo(resolved).canonicalFilePath(),
              QFileInfo(Path("rel.ini")).canonicalFilePath());
    EXPECT_TRUE(QDir::isAbsolutePath(resolved));
}

TEST(LoggerLockPathTest, NamesTheModulesFileInTheRuntimeDirectory) {
    EXPECT_EQ(LoggerLockPath(QStringLiteral("/run/user/1000"), QStringLiteral("/opt/client/app")),
              QStringLiteral("/run/user/1000/ZARQ_Logger_Mutex::app"));
}

} // namespace
