#include "bridge/commandaddress.h"
#include "support/qtprint.h"

#include <gtest/gtest.h>

namespace {

struct ParseCase {
    QString url;
    bool isCommand;
    QString command;
    QString params;
};

TEST(CommandAddress, CutsAtTheFirstCommaAfterTheMarker) {
    const ParseCase cases[] = {
        {"command:enableBackBtn,True", true, "enablebackbtn", "true"},
        {"command:a,b,c", true, "a", "b,c"},
        {"command:,x", true, "", "x"},
        {"command:x,", true, "x", ""},
        {"command:,", true, "", ""},
        {"command:abc", false, "", ""},
        {"command:", false, "", ""},
        {"http://h/page?next=command:go,1", true, "go", "1"},
        {"http://h/a,b?x=command:go", false, "", ""}, // the comma must follow the marker
        {"COMMAND:Go,A B", true, "go", "a b"},
        {"command:x,%20Y", true, "x", "%20y"},   // not decoded
        {"command: x , y ", true, " x ", " y "}, // not trimmed
        {"command:a,command:b,c", true, "a", "command:b,c"},
        {"xcommand:a,b", true, "a", "b"},
        {"command;a,b", false, "", ""},
        {"commandx:a,b", false, "", ""},
        {"http://h/index.aspx", false, "", ""},
        {"", false, "", ""},
        {QStringLiteral("command:Ä,Ünd"), true, QStringLiteral("Ä"), QStringLiteral("Ünd")},
        {QStringLiteral("command:说,话"), true, QStringLiteral("说"), QStringLiteral("话")},
    };
    for (const ParseCase& c : cases) {
        const std::optional<ClientCommand> parsed = ParseCommandAddress(c.url);
        ASSERT_EQ(parsed.has_value(), c.isCommand) << c.url.toStdString();
        if (parsed) {
            EXPECT_EQ(parsed->command, c.command) << c.url.toStdString();
            EXPECT_EQ(parsed->params, c.params) << c.url.toStdString();
        }
    }
}

TEST(CommandAddress, LowerCasesAsciiLettersOnly) {
    const std::pair<QString, QByteArray> cases[] = {
        {"HTTP://H/A?B=C", "http://h/a?b=c"},
        {"azAZ09@[`{", "azaz09@[`{"},
        {QStringLiteral("ÄÖ/X"), QStringLiteral("ÄÖ/x").toUtf8()},
        {"", ""},
    };
    for (const auto& [url, lower] : cases)
        EXPECT_EQ(BridgeLower(url), lower) << url.toStdString();
}

TEST(PendingAddress, BlankScriptAndTimeSyncNeverWait) {
    const std::pair<QByteArray, bool> cases[] = {
        {"http://h/page", true},
        {"command:x,1", true},
        {"about:blank", false},
        {"http://h/frame?about:blank", false},
        {"javascript:void(0)", false},
        {"http://h/a?javascript:x", false},
        {"http://h/syncronizeusertime.aspx", false},
        {"about:blan", true},
        {"javascript", true},
        {"", true},
    };
    for (const auto& [url, pending] : cases)
        EXPECT_EQ(MayBecomePending(url, SyncMarker), pending) << url.constData();
}

} // namespace
