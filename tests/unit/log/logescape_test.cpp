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
        {"\n", "\\n"},
        {"del \x7f too", "del \\x7f too"},
        // NEL, the first and last C1 controls, CSI: a reader may take NEL for a line end.
        {"a\u0085b", "a\\u0085b"},
        {"\u0080\u009b[2J\u009f", "\\u0080\\u009b[2J\\u009f"},
        {"line\u2028sep\u2029para", "line\\u2028sep\\u2029para"},
        // Neighbours of the escaped code points stay as they are.
        {"\u00a0nbsp \u2027 \u202a", "\u00a0nbsp \u2027 \u202a"},
        {"emoji \U0001F600", "emoji \U0001F600"},
        // Bytes that are no UTF-8: a stray continuation byte that a reader in another encoding
        // would take for NEL, a lone lead byte, an overlong NUL, a cut sequence at the end.
        {"stray \x85 byte", "stray \\x85 byte"},
        {"lone \xc3 lead", "lone \\xc3 lead"},
        {"overlong \xc0\x80", "overlong \\xc0\\x80"},
        {"surrogate \xed\xa0\x80", "surrogate \\xed\\xa0\\x80"},
        {"cut \xe2\x80", "cut \\xe2\\x80"},
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

// A NUL in a page's text does not end what is logged of it.
TEST_F(DebugLogTest, APageTextIsLoggedWholeWithEveryKindOfLineBreakEscaped) {
    WriteConf({{"level", "39"}, {"file", "client.log"}});
    ASSERT_TRUE(OpenLog(ConfPath(), true, QStringLiteral("logger"), ModulePath()));
    const QString alert = QStringLiteral("before") + QChar(0) + QStringLiteral("after") +
                          QChar(0x85) + QStringLiteral("[ERR] forged") + QChar(0x2028) +
                          QStringLiteral("end\\x7f") + QChar(0x7f);
    DebugLogText(QStringLiteral("page alert: %1").arg(alert));
    CloseLog();

    const LogShape shape = DescribeLog(ReadAll(Path("client.log")));
    EXPECT_EQ(shape.shape, "Hc L Fe");
    ASSERT_EQ(shape.messages.size(), 1u);
    EXPECT_EQ(shape.messages[0],
              "page alert: before\\x00after\\u0085[ERR] forged\\u2028end\\\\x7f\\x7f");
}

// A warning quotes a certificate's names, which the server chose.
TEST_F(DebugLogTest, AWarningTextCannotForgeALine) {
    WriteConf({{"level", "7"}, {"file", "client.log"}});
    ASSERT_TRUE(OpenLog(ConfPath(), true, QStringLiteral("logger"), ModulePath()));
    WarnLogText(QStringLiteral("certificate refused: subject \"CN=x\n[26/12/10-10:00:00 000][ERR]"
                               "[Px0001][Tx0001] forged\""));
    CloseLog();

    const LogShape shape = DescribeLog(ReadAll(Path("client.log")));
    EXPECT_EQ(shape.shape, "Hc L Fe");
    EXPECT_EQ(shape.tags, std::vector<std::string>{"WAN"});
    ASSERT_EQ(shape.messages.size(), 1u);
    EXPECT_EQ(shape.messages[0], "certificate refused: subject \"CN=x\\n[26/12/10-10:00:00 000]"
                                 "[ERR][Px0001][Tx0001] forged\"");
}

} // namespace
