#include "bridge/commandaddress.h"
#include "bridge/webinteractive.h"
#include "fakebrowser.h"
#include "mainwin/pageload.h"
#include "support/qtprint.h"

#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

// A browser whose own handlers were set before the bridge was bound, as on the main window.
class Bridge : public testing::Test {
protected:
    struct Completion {
        QString url;
        qsizetype injectedBefore; // scripts added when the chained handler ran
        QByteArray pendingThen;
    };

    void SetUp() override {
        browser.OnBeforeNavigate2 = [this](const QString& url, bool& cancel) {
            chainedStarts << url;
            chainedCancelIn.push_back(cancel);
        };
        browser.OnDocumentComplete = [this](const QString& url) {
            completions.push_back(
                {url, browser.injected.size(), bridge ? bridge->PendingURL() : QByteArray()});
        };
        bridge = std::make_unique<TWebInteractive>();
        bridge->OnGetClientCommand = [this](const QString& command, const QString& params) {
            commands.push_back({command, params});
        };
        bridge->SetWebBrowser(&browser);
    }

    FakeBrowser browser;
    std::unique_ptr<TWebInteractive> bridge;
    QStringList chainedStarts;
    std::vector<bool> chainedCancelIn;
    std::vector<Completion> completions;
    std::vector<std::pair<QString, QString>> commands;
};

TEST(ClientScript, IsTheFixedText) {
    const QString& script = TWebInteractive::ClientScript();
    EXPECT_EQ(script.size(), 201);
    EXPECT_EQ(script, QStringLiteral("function SendClientCommand(command, params) {\r\n"
                                     "window.location.href='command:' + command + ',' + params\r\n"
                                     "}\r\n"
                                     "function OnGetClientCommand(command, params) {\r\n"
                                     "if(command == 'call') {\r\n"
                                     "eval(params); }\r\n"
                                     "}\r\n"));
}

TEST_F(Bridge, CommandIsRaisedAndCancelled) {
    struct Case {
        const char* url;
        const char* command;
        const char* params;
    };
    const Case cases[] = {
        {"command:enableBackBtn,True", "enablebackbtn", "true"},
        {"command:a,b,c", "a", "b,c"},
        {"command:,x", "", "x"},
        {"command:x,", "x", ""},
        {"http://h/list.aspx?go=command:go,1", "go", "1"},
    };
    for (const Case& c : cases) {
        commands.clear();
        EXPECT_TRUE(browser.StartNavigation(QString::fromUtf8(c.url))) << c.url;
        ASSERT_EQ(commands.size(), 1u) << c.url;
        EXPECT_EQ(commands[0].first, QString::fromUtf8(c.command)) << c.url;
        EXPECT_EQ(commands[0].second, QString::fromUtf8(c.params)) << c.url;
    }
    EXPECT_TRUE(chainedStarts.isEmpty());
}

TEST_F(Bridge, AddressWithoutCommaIsAnOrdinaryNavigation) {
    const std::pair<const char*, bool> cases[] = {
        {"command:abc", false},
        {"command:abc", true}, // the cancel flag passes on as it came
        {"http://h/index.aspx", false},
    };
    for (const auto& [url, cancelIn] : cases) {
        chainedStarts.clear();
        chainedCancelIn.clear();
        EXPECT_EQ(browser.StartNavigation(QString::fromUtf8(url), cancelIn), cancelIn) << url;
        EXPECT_EQ(chainedStarts, QStringList{QString::fromUtf8(url)}) << url;
        ASSERT_EQ(chainedCancelIn.size(), 1u);
        EXPECT_EQ(chainedCancelIn[0], cancelIn) << url;
    }
    EXPECT_TRUE(commands.empty());
}

TEST_F(Bridge, CommandWithoutHandlerIsStillCancelled) {
    bridge->OnGetClientCommand = nullptr;
    EXPECT_TRUE(browser.StartNavigation(QStringLiteral("command:x,1")));
    EXPECT_TRUE(chainedStarts.isEmpty());
}

TEST_F(Bridge, FailingHandlerLeavesTheNavigationUncancelled) {
    bridge->OnGetClientCommand = [](const QString&, const QString&) {
        throw std::runtime_error("handler failed");
    };
    bool cancel = false;
    EXPECT_THROW(browser.OnBeforeNavigate2(QStringLiteral("command:x,1"), cancel),
                 std::runtime_error);
    EXPECT_FALSE(cancel);
    EXPECT_TRUE(chainedStarts.isEmpty());
}

TEST_F(Bridge, BackButtonCommandInAnyLetterCase) {
    const std::pair<const char*, bool> cases[] = {
        {"command:enableBackBtn,False", false}, {"command:ENABLEBACKBTN,FALSE", false},
        {"command:enablebackbtn,false", false}, {"command:EnableBackBtn,True", true},
        {"command:enableBackBtn,", true},       {"command:enableBackBtn,off", true},
    };
    for (const auto& [url, enabled] : cases) {
        commands.clear();
        browser.StartNavigation(QString::fromUtf8(url));
        ASSERT_EQ(commands.size(), 1u);
        EXPECT_EQ(ReturnButtonEnabledByCommand(commands[0].first, commands[0].second),
                  std::optional<bool>(enabled))
            << url;
    }
}

TEST_F(Bridge, ScriptGoesToTheMatchingCompletionOnceThenChains) {
    browser.StartNavigation(QStringLiteral("http://h/Home/Home/Main"));
    EXPECT_EQ(bridge->PendingURL(), "http://h/home/home/main");
    browser.CompleteDocument(QStringLiteral("HTTP://H/home/home/MAIN")); // case makes no difference
    browser.CompleteDocument(QStringLiteral("http://h/Home/Home/Main"));
    EXPECT_EQ(browser.injected, QStringList{TWebInteractive::ClientScript()});
    ASSERT_EQ(completions.size(), 2u);
    // Injected first, pending address cleared, then the window's handler.
    EXPECT_EQ(completions[0].url, "HTTP://H/home/home/MAIN");
    EXPECT_EQ(completions[0].injectedBefore, 1);
    EXPECT_TRUE(completions[0].pendingThen.isEmpty());
    EXPECT_EQ(completions[1].url, "http://h/Home/Home/Main");
    EXPECT_EQ(completions[1].injectedBefore, 1);
}

TEST_F(Bridge, HelperFramesDoNotTakeThePendingAddress) {
    const char* helpers[] = {
        "about:blank",
        "javascript:void(0)",
        "JavaScript:go()",
        "http://h/Home/SyncronizeUserTime?t=1",
        "http://h/SYNCRONIZEUSERTIME",
    };
    browser.StartNavigation(QStringLiteral("http://h/sof/unit1"));
    for (const char* helper : helpers) {
        browser.StartNavigation(QString::fromUtf8(helper));
        EXPECT_EQ(bridge->PendingURL(), "http://h/sof/unit1") << helper;
        browser.CompleteDocument(QString::fromUtf8(helper));
    }
    EXPECT_TRUE(browser.injected.isEmpty());
    browser.CompleteDocument(QStringLiteral("http://h/sof/unit1"));
    EXPECT_EQ(browser.injected.size(), 1);
    EXPECT_EQ(completions.size(), std::size(helpers) + 1);
}

TEST_F(Bridge, RedirectedPageGetsNoScript) {
    browser.StartNavigation(QStringLiteral("http://h/login"));
    browser.CompleteDocument(QStringLiteral("http://h/Home/Home/Index"));
    EXPECT_TRUE(browser.injected.isEmpty());
    EXPECT_EQ(bridge->PendingURL(), "http://h/login");
    ASSERT_EQ(completions.size(), 1u);
}

TEST_F(Bridge, LatestNavigationWinsOnFramedPages) {
    browser.StartNavigation(QStringLiteral("http://h/top"));
    browser.StartNavigation(QStringLiteral("http://h/frame"));
    browser.CompleteDocument(QStringLiteral("http://h/frame"));
    browser.CompleteDocument(QStringLiteral("http://h/top"));
    EXPECT_EQ(browser.injected.size(), 1);
    ASSERT_EQ(completions.size(), 2u);
    EXPECT_EQ(completions[0].injectedBefore, 1);
}

TEST_F(Bridge, CommandDuringLoadingReplacesThePendingAddress) {
    browser.StartNavigation(QStringLiteral("http://h/page"));
    browser.StartNavigation(QStringLiteral("command:Save,1"));
    EXPECT_EQ(bridge->PendingURL(), "command:save,1");
    browser.CompleteDocument(QStringLiteral("http://h/page"));
    EXPECT_TRUE(browser.injected.isEmpty());
}

TEST_F(Bridge, FailedInjectionStopsTheCompletion) {
    browser.StartNavigation(QStringLiteral("http://h/page"));
    browser.failInjection = true;
    EXPECT_THROW(browser.CompleteDocument(QStringLiteral("http://h/page")), std::runtime_error);
    EXPECT_EQ(bridge->PendingURL(), "http://h/page");
    EXPECT_TRUE(completions.empty());
    browser.failInjection = false;
    browser.CompleteDocument(QStringLiteral("http://h/page"));
    EXPECT_EQ(browser.injected.size(), 1);
    EXPECT_EQ(completions.size(), 1u);
}

TEST_F(Bridge, BindingTwiceDoesNotChainToItself) {
    bridge->SetWebBrowser(&browser);
    bridge->SetWebBrowser(&browser);
    EXPECT_EQ(bridge->WebBrowser(), &browser);
    EXPECT_TRUE(browser.StartNavigation(QStringLiteral("command:x,1")));
    EXPECT_EQ(commands.size(), 1u);
    EXPECT_FALSE(browser.StartNavigation(QStringLiteral("http://h/page")));
    EXPECT_EQ(chainedStarts.size(), 1);
    browser.CompleteDocument(QStringLiteral("http://h/page"));
    EXPECT_EQ(browser.injected.size(), 1);
    EXPECT_EQ(completions.size(), 1u);
}

TEST_F(Bridge, RebindingGivesTheFirstBrowserItsHandlersBack) {
    FakeBrowser other;
    QStringList otherCompletions;
    other.OnDocumentComplete = [&](const QString& url) { otherCompletions << url; };
    browser.StartNavigation(QStringLiteral("http://h/first"));
    bridge->SetWebBrowser(&other);
    EXPECT_EQ(bridge->WebBrowser(), &other);
    EXPECT_TRUE(bridge->PendingURL().isEmpty());
    chainedStarts.clear();

    // The first browser reaches only its own handlers now.
    EXPECT_FALSE(browser.StartNavigation(QStringLiteral("command:x,1")));
    browser.CompleteDocument(QStringLiteral("http://h/first"));
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(chainedStarts.size(), 1);
    EXPECT_EQ(completions.size(), 1u);
    EXPECT_TRUE(browser.injected.isEmpty());

    // The second one is watched; it had no navigation-start handler to chain.
    EXPECT_TRUE(other.StartNavigation(QStringLiteral("command:y,2")));
    EXPECT_EQ(commands.size(), 1u);
    EXPECT_FALSE(other.StartNavigation(QStringLiteral("http://h/second")));
    other.CompleteDocument(QStringLiteral("http://h/second"));
    EXPECT_EQ(other.injected.size(), 1);
    EXPECT_EQ(otherCompletions, QStringList{"http://h/second"});
    // The bridge gives a browser its handlers back when it goes: "other" ends with this test,
    // before the fixture's bridge.
    bridge->SetWebBrowser(nullptr);
}

TEST_F(Bridge, UnbindingRestoresTheHandlers) {
    bridge->SetWebBrowser(nullptr);
    EXPECT_EQ(bridge->WebBrowser(), nullptr);
    EXPECT_FALSE(browser.StartNavigation(QStringLiteral("command:x,1")));
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(chainedStarts.size(), 1);
}

TEST_F(Bridge, HookKeptByALaterHandlerOnlyPassesOnOnceTheBridgeIsGone) {
    // Someone takes the events over after the bridge and chains to it.
    const TEmbeddedWB::BeforeNavigate2Handler bridgeStart = browser.OnBeforeNavigate2;
    const TEmbeddedWB::DocumentCompleteHandler bridgeComplete = browser.OnDocumentComplete;
    int laterStarts = 0;
    browser.OnBeforeNavigate2 = [&](const QString& url, bool& cancel) {
        ++laterStarts;
        bridgeStart(url, cancel);
    };
    browser.OnDocumentComplete = [&](const QString& url) { bridgeComplete(url); };

    bridge.reset();
    EXPECT_FALSE(browser.StartNavigation(QStringLiteral("command:x,1")));
    browser.CompleteDocument(QStringLiteral("command:x,1"));
    EXPECT_EQ(laterStarts, 1);
    EXPECT_EQ(completions.size(), 1u);
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(chainedStarts.size(), 1);
    EXPECT_TRUE(browser.injected.isEmpty());
}

TEST_F(Bridge, DestroyingTheBridgeRestoresTheHandlers) {
    bridge.reset();
    EXPECT_FALSE(browser.StartNavigation(QStringLiteral("command:x,1")));
    EXPECT_EQ(chainedStarts.size(), 1);
    EXPECT_TRUE(commands.empty());
}

TEST(BridgeAlone, BrowserWithoutHandlers) {
    FakeBrowser browser;
    TWebInteractive bridge;
    EXPECT_EQ(bridge.WebBrowser(), nullptr);
    bridge.SetWebBrowser(&browser);
    EXPECT_FALSE(browser.StartNavigation(QStringLiteral("http://h/a")));
    browser.CompleteDocument(QStringLiteral("http://h/a"));
    EXPECT_EQ(browser.injected.size(), 1);
    EXPECT_TRUE(browser.StartNavigation(QStringLiteral("command:a,b")));
}

} // namespace
