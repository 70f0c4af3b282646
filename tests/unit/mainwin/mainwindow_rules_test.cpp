#include "mainwin/privatemessages.h"
#include "system/killprocess.h"

#include <gtest/gtest.h>

namespace {

struct OtherInstanceCase {
    bool plomek, ostrel, dravin, visible;
    bool ignore, show, toFront;
};

TEST(OtherInstance, CompanionWindowsDecide) {
    const OtherInstanceCase cases[] = {
        {false, false, false, false, false, true, true},
        {false, false, false, true, false, false, true},
        {false, true, false, false, false, false, true},
        {false, false, true, false, false, false, true},
        {false, true, true, true, false, false, true},
        {true, false, false, false, true, false, false},
        {true, true, true, true, true, false, false},
    };
    for (const OtherInstanceCase& c : cases) {
        const OtherInstanceAction a = DecideOtherInstance(c.plomek, c.ostrel, c.dravin, c.visible);
        EXPECT_EQ(a.ignore, c.ignore);
        EXPECT_EQ(a.showWindow, c.show);
        EXPECT_EQ(a.bringToFront, c.toFront);
    }
}

TEST(ExecutableName, IgnoresAsciiCaseOnly) {
    const std::tuple<QString, QString, bool> cases[] = {
        {"PARVELO", "parvelo", true},
        {"Parvelo.bin", "pARVELO.BIN", true},
        {"parvelo", "parvelo2", false},
        {QStringLiteral("Ä-client"), QStringLiteral("ä-client"), false},
        {QStringLiteral("客户端"), QStringLiteral("客户端"), true},
        {"", "", true},
    };
    for (const auto& [a, b, same] : cases)
        EXPECT_EQ(SameExecutableName(a, b), same) << a.toStdString() << " " << b.toStdString();
}

} // namespace
