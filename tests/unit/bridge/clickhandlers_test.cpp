#include "bridge/clickhandlers.h"

#include <gtest/gtest.h>

namespace {

TEventObject Answering(int answer) {
    return TEventObject([answer] { return answer; });
}

// The answer of the handler the token leads to; nullopt when there is none.
std::optional<bool> ClickWith(const ClickHandlerTable& table, int token) {
    const std::optional<TEventObject> handler = table.Find(token);
    return handler ? handler->Invoke() : std::nullopt;
}

TEST(ClickHandlers, AnElementTakenOverAgainKeepsItsTokenAndGetsTheNewHandler) {
    ClickHandlerTable table;
    const int first = table.Attach(QStringLiteral("hiddenLink"), Answering(0));
    EXPECT_EQ(ClickWith(table, first), false);
    // A frame that reloads again and again has the top page handled again each time.
    for (int reload = 0; reload < 1000; ++reload)
        EXPECT_EQ(table.Attach(QStringLiteral("hiddenLink"), Answering(reload % 2 ? 0 : -1)),
                  first);
    EXPECT_EQ(table.Size(), 1);
    EXPECT_EQ(ClickWith(table, first), false);
    table.Attach(QStringLiteral("hiddenLink"), Answering(-1));
    EXPECT_EQ(ClickWith(table, first), true);
}

TEST(ClickHandlers, EachElementHasItsOwnToken) {
    ClickHandlerTable table;
    const int link = table.Attach(QStringLiteral("hiddenLink"), Answering(0));
    const int other = table.Attach(QStringLiteral("other"), Answering(1));
    EXPECT_NE(link, other);
    EXPECT_EQ(table.Size(), 2);
    EXPECT_EQ(ClickWith(table, link), false);
    EXPECT_EQ(ClickWith(table, other), true);
    EXPECT_EQ(ClickWith(table, other + link + 1), std::nullopt);
}

TEST(ClickHandlers, ANewTopDocumentLeavesNoHandlerAndNoOldTokenComesBack) {
    ClickHandlerTable table;
    const int before = table.Attach(QStringLiteral("hiddenLink"), Answering(0));
    table.Clear();
    EXPECT_EQ(table.Size(), 0);
    EXPECT_EQ(ClickWith(table, before), std::nullopt);
    const int after = table.Attach(QStringLiteral("hiddenLink"), Answering(0));
    EXPECT_NE(after, before);
    EXPECT_EQ(ClickWith(table, before), std::nullopt);
}

} // namespace
