#include "ui/msgboxlayout.h"
#include "ui/windowplace.h"

#include "support/qtprint.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>

namespace {

struct ButtonCase {
    int kind;
    int okLeft;
    bool cancelVisible;
    std::optional<int> cancelLeft;
};

void PrintTo(const ButtonCase& c, std::ostream* out) {
    *out << "kind " << c.kind;
}

class MsgButtons : public testing::TestWithParam<ButtonCase> {};

TEST_P(MsgButtons, PlacedByKind) {
    const ButtonCase& c = GetParam();
    const MsgButtonPlacement placement = PlaceMsgButtons(c.kind, 318, 65);
    EXPECT_EQ(placement.okLeft, c.okLeft);
    EXPECT_EQ(placement.cancelVisible, c.cancelVisible);
    EXPECT_EQ(placement.cancelLeft, c.cancelLeft);
}

INSTANTIATE_TEST_SUITE_P(Cases, MsgButtons,
                         testing::Values(ButtonCase{1, 126, false, std::nullopt},
                                         ButtonCase{2, 64, true, 168}, ButtonCase{0, 64, true, 168},
                                         ButtonCase{-1, 64, true, 168},
                                         ButtonCase{3, 64, true, 168}));

TEST(MsgButtons, SingleButtonIsCentredWithTruncation) {
    EXPECT_EQ(PlaceMsgButtons(1, 300, 65).okLeft, 117);
    EXPECT_EQ(PlaceMsgButtons(1, 318, 66).okLeft, 126);
}

struct BodyCase {
    const char* name;
    QString text;
    int bodyTop;
    QString body;
    std::optional<int> body2Top;
    QString body2;
    std::optional<int> body3Top;
    QString body3;
};

void PrintTo(const BodyCase& c, std::ostream* out) {
    *out << c.name;
}

class MsgBody : public testing::TestWithParam<BodyCase> {};

TEST_P(MsgBody, LinesLaidOutByCount) {
    const BodyCase& c = GetParam();
    const MsgBodyLayout layout = LayOutMsgBody(c.text);
    EXPECT_EQ(layout.bodyTop, c.bodyTop);
    EXPECT_EQ(layout.bodyCaption, c.body);
    EXPECT_EQ(layout.body2Top, c.body2Top);
    EXPECT_EQ(layout.body2Caption, c.body2);
    EXPECT_EQ(layout.body3Top, c.body3Top);
    EXPECT_EQ(layout.body3Caption, c.body3);
}

const QString Host = QStringLiteral("主机地址配置错误。");
const QString Load = QStringLiteral("加载系统需要的组件失败。");
const QString Reinstall = QStringLiteral("请重新安装Tirsa2008智能教具配套软件。");

INSTANTIATE_TEST_SUITE_P(
    Cases, MsgBody,
    testing::Values(
        BodyCase{"one line", Host, 60, Host, std::nullopt, {}, std::nullopt, {}},
        BodyCase{"two lines", Load + "\n" + Reinstall, 52, Load, 72, Reinstall, std::nullopt, {}},
        BodyCase{"trailing line feed", Host + "\n", 52, Host, 72, {}, std::nullopt, {}},
        BodyCase{"three lines", "a\nb\nc", 39, "a", 59, "b", 79, "c"},
        BodyCase{"four lines drop the last", "a\nb\nc\nd", 39, "a", 59, "b", 79, "c"},
        BodyCase{"empty middle line", "a\n\nc", 39, "a", 59, {}, 79, "c"},
        BodyCase{"only line feeds", "\n\n", 39, {}, 59, {}, 79, {}},
        BodyCase{"empty text", {}, 60, {}, std::nullopt, {}, std::nullopt, {}},
        BodyCase{"carriage return is text", "a\r\nb", 52, "a\r", 72, "b", std::nullopt, {}}));

struct CentreCase {
    QRect screen;
    QSize window;
    QPoint expected;
};

void PrintTo(const CentreCase& c, std::ostream* out) {
    PrintTo(c.window, out);
    *out << " on ";
    PrintTo(c.screen, out);
}

class Centring : public testing::TestWithParam<CentreCase> {};

TEST_P(Centring, HalvesTruncateTowardZero) {
    const CentreCase& c = GetParam();
    EXPECT_EQ(CentredTopLeft(c.screen, c.window), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, Centring,
                         testing::Values(CentreCase{{0, 0, 1280, 1024}, {318, 150}, {481, 437}},
                                         CentreCase{{0, 0, 1024, 768}, {318, 150}, {353, 309}},
                                         CentreCase{{0, 0, 1025, 769}, {318, 150}, {353, 309}},
                                         CentreCase{{0, 0, 800, 600}, {800, 600}, {0, 0}},
                                         // larger than the screen: -1 div 2 is 0, -3 div 2 is -1
                                         CentreCase{{0, 0, 317, 147}, {318, 150}, {0, -1}},
                                         CentreCase{{0, 0, 300, 100}, {318, 150}, {-9, -25}},
                                         CentreCase{
                                             {1920, 0, 1280, 1024}, {318, 150}, {2401, 437}}));

} // namespace
