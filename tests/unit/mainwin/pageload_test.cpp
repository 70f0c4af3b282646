#include "bridge/eventobject.h"
#include "mainwin/pageload.h"
#include "support/qtprint.h"
#include "ui/errorbox.h"

#include <gtest/gtest.h>

namespace {

constexpr char Host[] = "http://learn.example.cn/";

// A host reader that counts its calls.
struct HostReader {
    QString host;
    int calls = 0;
    std::function<QString()> fn() {
        return [this] {
            ++calls;
            return host;
        };
    }
};

struct SkinCase {
    const char* address;
    const char* host;
    bool inside;
};

TEST(Skin, PortalPagesAreOuterWithInnerExceptions) {
    const SkinCase cases[] = {
        {"http://learn.example.cn/", Host, false}, // the start page
        {"http://learn.example.cn/Home/Home/Index", Host, false},
        {"http://OTHER/sof/unit1/lesson.aspx", Host, true}, // a learning page
        {"http://other/Account/FindPassword", Host, false},
        {"http://other/account/findpassword", Host, false},
        {"http://other/Introduce.htm", Host, false},
        {"http://other/user/baseinfo", Host, false},
        {"http://other/Home/Home/Main", Host, false},
        {"http://other/home/home/index?x", Host, false},
        {"http://LEARN.example.cn/x", Host, false}, // host ignores case
        {"http://learn.example.cn/home/Home/EnglishTest?id=3", Host, true},
        {"http://learn.example.cn/Home/Home/englishtest", Host, true},
        {"http://learn.example.cn/home/Home/WordChoose/1", Host, true},
        {"http://learn.example.cn/home/Home/WordChoose", Host, false}, // needs the "/"
        {"http://learn.example.cn/LearnSurvey/a", Host, true},
        {"http://learn.example.cn/x/SyncronizeUserTime", Host, true},
        {"http://other/FindPassword/EnglishTest", Host, false}, // not under "/home/Home/"
        {"http://other/FindPassword/home/home/englishtest", Host, true},
        {"about:blank", Host, true},
        {"", Host, true},
        {"http://other/a", "", true},   // empty host: no match
        {"http://other/a", "/", false}, // "/": every "/" is portal
        {"about:blank", "/", true},
        {"http://other/Home/Home/EnglishTest", "/", true},
    };
    for (const SkinCase& c : cases) {
        HostReader reader{QString::fromUtf8(c.host)};
        EXPECT_EQ(WantsInsideSkin(QString::fromUtf8(c.address), reader.fn()), c.inside)
            << c.address << " host " << c.host;
    }
}

TEST(Skin, HostIsReadOnlyWhenFindPasswordIsMissing) {
    const std::pair<const char*, int> cases[] = {
        {"http://other/FindPassword", 0},
        {"http://other/a/findPASSWORD?x", 0},
        {"http://other/a", 1},
        {"http://other/Introduce", 1},
        {"about:blank", 1},
    };
    for (const auto& [address, calls] : cases) {
        HostReader reader{QString::fromLatin1(Host)};
        WantsInsideSkin(QString::fromUtf8(address), reader.fn());
        EXPECT_EQ(reader.calls, calls) << address;
    }
}

TEST(Skin, PictureLoadsOnlyOnChange) {
    const std::tuple<bool, bool, SkinChange> cases[] = {
        {true, false, SkinChange::LoadInside},
        {false, true, SkinChange::LoadOutside},
        {true, true, SkinChange::Keep}, // inner page to inner page
        {false, false, SkinChange::Keep},
    };
    for (const auto& [want, shown, change] : cases)
        EXPECT_EQ(SkinToLoad(want, shown), change) << want << shown;
}

TEST(LogOutButton, MainEnablesIndexDisables) {
    const std::pair<const char*, ButtonChange> cases[] = {
        {"http://h/Home/Home/Main", ButtonChange::Enable},
        {"http://h/home/home/main?x=1", ButtonChange::Enable},
        {"http://h/Home/Home/Index", ButtonChange::Disable},
        {"http://h/xHome/Home/Index", ButtonChange::Disable}, // no leading "/" needed
        {"http://h/Home/Home/Main/Home/Home/Index", ButtonChange::Disable},
        {"http://h/xHome/Home/Main", ButtonChange::Unchanged},
        {"http://h/Home/Home/Mai", ButtonChange::Unchanged},
        {"http://h/sof/unit1", ButtonChange::Unchanged},
        {"about:blank", ButtonChange::Unchanged},
    };
    for (const auto& [address, change] : cases)
        EXPECT_EQ(LogOutButtonChange(QString::fromUtf8(address)), change) << address;
}

TEST(EnterKeySwitch, OffOnlyOnTheListeningTest) {
    const std::pair<const char*, bool> cases[] = {
        {"http://h/english/wq2009/LiseningTest/a.aspx", false},
        {"http://h/ENGLISH/WQ2009/liseningtest", false},
        {"http://h/english/wq2009/ListeningTest", true},
        {"http://h/LiseningTest", true},
        {"http://h/english/wq2010/LiseningTest", true},
        {"about:blank", true},
    };
    for (const auto& [address, enabled] : cases)
        EXPECT_EQ(MessageHandlerEnabled(QString::fromUtf8(address)), enabled) << address;
}

TEST(SoundTestButton, DisabledOnPagesThatUseSoundAndOnHelperFrames) {
    const std::pair<const char*, bool> cases[] = {
        {"http://h/sof/unit1", true},
        {"http://h/english/LiseningTest", false},
        {"http://h/liseningtest", false},
        {"http://h/SofWeb/a", false},
        {"http://h/sofweb", false},
        {"http://h/ReadAssist.aspx", false},
        {"http://h/x/syncronizeusertime", false},
        {"about:blank", false},
        {"About:Blank", true}, // exact comparison
        {"about:blank#x", true},
        {" about:blank", true},
        {"http://h/My97DatePicker.htm", false},
        {"http://h/js/My97DatePicker.html?x", false},
        {"http://h/my97datepicker.htm", true}, // exact letter case
        {"", true},
    };
    for (const auto& [address, enabled] : cases)
        EXPECT_EQ(SoundTestEnabled(QString::fromUtf8(address)), enabled) << address;
}

TEST(FrameDecision, CombinesTheRules) {
    HostReader reader{QString::fromLatin1(Host)};
    const FrameDecision listening =
        DecideFrame(QStringLiteral("http://cdn/english/wq2009/LiseningTest/t.aspx"), reader.fn());
    EXPECT_TRUE(listening.wantInsideSkin);
    EXPECT_EQ(listening.logOut, ButtonChange::Unchanged);
    EXPECT_FALSE(listening.enableMessageHandler);
    EXPECT_FALSE(listening.soundTestEnabled);

    const FrameDecision main =
        DecideFrame(QStringLiteral("http://learn.example.cn/Home/Home/Main"), reader.fn());
    EXPECT_FALSE(main.wantInsideSkin);
    EXPECT_EQ(main.logOut, ButtonChange::Enable);
    EXPECT_TRUE(main.enableMessageHandler);
    EXPECT_TRUE(main.soundTestEnabled);
}

struct CookieCase {
    const char* cookie;
    QString returnURL;
    QString returnTip;
};

TEST(Cookies, ReturnUrlAndTip) {
    const CookieCase cases[] = {
        {"ReturnURL=http%3A%2F%2Fh%2Fa%3Fb%3D1; ReturnTip=ok", "http://h/a?b=1", "ok"},
        {"returnurl=http%3A%2F%2Fh%2F; returntip=a+b", "http://h/", "a b"},
        {"a=1; b=2", "", ""},
        {"ReturnURL=http%3A%2F%2Fh%2F", "", ""}, // a single entry yields nothing
        {"", "", ""},
        {"ReturnTip=%25E8%25BF%2594%25E5%259B%259E; x=1", "", QStringLiteral("返回")},
        {"ReturnURL=a%00b; ReturnTip=a%00b", QString::fromUtf8("a\0b", 3), "ab"},
        {"ReturnURL=+++; x=1", "   ", ""},
    };
    for (const CookieCase& c : cases) {
        const ReturnCookies r = ReadReturnCookies(QString::fromUtf8(c.cookie));
        EXPECT_EQ(r.FReturnURL, c.returnURL) << c.cookie;
        EXPECT_EQ(r.FReturnTip, c.returnTip) << c.cookie;
    }
}

TEST(Cookies, MalformedReturnUrlFails) {
    const char* cases[] = {
        "ReturnURL=%zz; ReturnTip=ok",
        "ReturnURL=http%3A%2; x=1",
        "x=1; ReturnURL=abc%",
    };
    for (const char* cookie : cases) {
        try {
            ReadReturnCookies(QString::fromUtf8(cookie));
            ADD_FAILURE() << "no failure for " << cookie;
        } catch (const ClientError& failure) {
            EXPECT_STREQ(failure.what(), "Invalid HEX digit in URL") << cookie;
        }
    }
    // The tip's decoder never fails.
    EXPECT_EQ(ReadReturnCookies(QStringLiteral("ReturnTip=%zz; x=1")).FReturnTip, QString());
}

struct PlatformPartCase {
    const char* topAddress;
    bool platform;
};

// The return cookies and the hidden link count only on a top page of the platform's origin.
TEST(PlatformPart, OnlyThePlatformsTopPageGivesReturnCookiesAndTheHiddenLink) {
    const QString cookie = QStringLiteral("ReturnURL=http%3A//evil.example/; ReturnTip=Go");
    const PlatformPartCase cases[] = {
        {"http://learn.example.cn/sof/Lesson/Unit2", true},
        {"HTTP://LEARN.EXAMPLE.CN:80/Home/Home/Main", true},
        {"http://learn.example.cn/", true},
        {"http://evil.example/sof/Lesson/Unit2", false},
        {"http://learn.example.cn.evil.example/", false},
        {"http://evil.example/?http://learn.example.cn/", false},
        {"https://learn.example.cn/", false},
        {"http://learn.example.cn:8080/", false},
        {"file:///opt/parvelo/errorpage.htm", false},
        {"data:text/html,learn.example.cn", false},
        {"about:blank", false},
        {"", false},
    };
    for (const PlatformPartCase& c : cases) {
        const PlatformPart part = PlatformPartOf(QString::fromLatin1(c.topAddress), cookie, true,
                                                 QString::fromLatin1(Host));
        EXPECT_EQ(part.cookie, c.platform ? cookie : QString()) << c.topAddress;
        EXPECT_EQ(part.hasHiddenLink, c.platform) << c.topAddress;
    }
    // A page without the link gets none from the rule.
    EXPECT_FALSE(PlatformPartOf(QStringLiteral("http://learn.example.cn/"), cookie, false,
                                QString::fromLatin1(Host))
                     .hasHiddenLink);
    // Without a host value no page is the platform's.
    EXPECT_EQ(
        PlatformPartOf(QStringLiteral("http://learn.example.cn/"), cookie, true, QString()).cookie,
        QString());
}

TEST(ReturnButton, ShownForANonBlankAddressUnlessThePageSaysNo) {
    const std::tuple<bool, QString, bool> cases[] = {
        {false, "http://h/a", true},
        {false, "", false},
        {false, "   ", false},
        {false, " \t\r\n\x01", false},
        {false, QString::fromUtf8("\0", 1), false},
        {false, "  x  ", true},
        {true, "http://h/a", false},
        {true, "", false},
    };
    for (const auto& [showReturnBtn, url, visible] : cases)
        EXPECT_EQ(ReturnButtonVisible(showReturnBtn, url), visible) << url.toStdString();
}

TEST(EnableBackBtn, FalseDisablesEverythingElseEnables) {
    const std::tuple<const char*, const char*, std::optional<bool>> cases[] = {
        {"enablebackbtn", "true", true},
        {"enablebackbtn", "false", false},
        {"enablebackbtn", "", true},
        {"enablebackbtn", "0", true},
        {"enablebackbtn", "false ", true},
        {"enablebackbtn", "no", true},
        {"enablebackbtnx", "false", std::nullopt},
        {"other", "false", std::nullopt},
        {"", "", std::nullopt},
    };
    for (const auto& [command, params, enabled] : cases)
        EXPECT_EQ(
            ReturnButtonEnabledByCommand(QString::fromUtf8(command), QString::fromUtf8(params)),
            enabled)
            << command << "," << params;
}

TEST(EnglishTestPage, AssistFormExcluded) {
    const std::pair<const char*, bool> cases[] = {
        {"http://h/home/Home/EnglishTest", true},
        {"http://h/home/Home/englishtest?id=1", true},
        {"http://h/home/Home/EnglishTest?type=assist", false},
        {"http://h/ENGLISHTEST?TYPE=ASSIST&x=1", false},
        {"http://h/EnglishTest?type=assisted", false},
        {"http://h/EnglishTest?id=1&type=assist", true},
        {"http://h/English/Test", false},
        {"", false},
    };
    for (const auto& [location, expected] : cases)
        EXPECT_EQ(IsEnglishTestPage(QString::fromUtf8(location)), expected) << location;
}

TEST(StartCheckRec, DecisionOrder) {
    const std::tuple<bool, bool, bool, CheckRecStep> cases[] = {
        {false, true, false, CheckRecStep::CancelClick},
        {false, false, true, CheckRecStep::CancelClick},
        {true, false, false, CheckRecStep::ProceedClick},
        {true, false, true, CheckRecStep::ProceedClick},
        {true, true, true, CheckRecStep::ProceedClick},
        {true, true, false, CheckRecStep::ShowTip},
    };
    for (const auto& [device, tip, test, step] : cases)
        EXPECT_EQ(DecideCheckRec(device, tip, test), step) << device << tip << test;
}

TEST(StartCheckRec, AnswersReadAsTheClickResult) {
    // The page reads the answer's low 16 bits: zero cancels the click.
    EXPECT_FALSE(TEventObject::AnswerAsBool(CheckRecCancel));
    EXPECT_TRUE(TEventObject::AnswerAsBool(CheckRecProceed));
}

} // namespace
