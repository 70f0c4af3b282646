#include "log/logescape.h"
#include "log/logger.h"
#include "logtestsupport.h"

#include <gtest/gtest.h>

namespace {

TEST(EscapeLogText, KeepsEveryLineOneLine) {
    const struct {
        std::string text;
        std::string escaped;
    } cases[] = {
        {"plain text, 中文 too", "plain text, 中文 too"},
        {"", ""},
        {"a\r\nb", "a\\r\\nb"},
        {"tab\there", "tab\\there"},
        {std::string("nul\0byte", 8), "nul\\x00byte"},
        {"\x01\x1b[31m\x1f", "\\x01\\x1b[31m\\x1f"},
        {"back\\slash \\n", "back\\\\slash \\\\n"},
        {"space and \x7f stay", "space and \x7f stay"},
        {"\n", "\\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EscapeLogText(c.text), c.escaped) << c.text;
}

using DebugLogTest = LogDirFixture;

// A page's alert text that tries to end the line and write an error line of its own.
TEST_F(DebugLogTest, PageTextCannotForgeALine) {
    WriteConf({{"level", "39"}, {"file", "client.log"}});
    ASSERT_TRUE(OpenLog(ConfPath(), true, QStringLiteral("logger"), ModulePath()));
    const char* alert = "hi\r\n[26/12/10-10:00:00 000][ERR][Px0001][Tx0001] component missing\n";
    DebugLog("page alert: %s", alert);
    CloseLog();

    const LogShape shape = DescribeLog(ReadAll(Path("client.log")));
    EXPECT_EQ(shape.shape, "Hc L Fe");
    ASSERT_EQ(shape.messages.size(), 1u);
    EXPECT_EQ(shape.messages[0], "page alert: hi\\r\\n[26/12/10-10:00:00 000][ERR][Px0001][Tx0001] "
                                 "component missing\\n");
}

} // namespace
