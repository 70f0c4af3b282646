#include "mainwin/pageprocess.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Action = PageProcessAction;

TEST(PageProcessRestarts, ReloadsUnlessThePageProcessDiedWithinThirtySeconds) {
    const struct {
        const char* name;
        std::vector<qint64> endsMs;
        std::vector<Action> actions;
    } cases[] = {
        {"first end", {5000}, {Action::ReloadPage}},
        {"again soon", {0, 10000}, {Action::ReloadPage, Action::ShowErrorPage}},
        {"again just in time", {0, 29999}, {Action::ReloadPage, Action::ShowErrorPage}},
        {"again after thirty seconds", {0, 30000}, {Action::ReloadPage, Action::ReloadPage}},
        {"the error page's process dies too",
         {0, 1000, 2000},
         {Action::ReloadPage, Action::ShowErrorPage, Action::ShowErrorPage}},
        {"calm after the error page",
         {0, 1000, 60000},
         {Action::ReloadPage, Action::ShowErrorPage, Action::ReloadPage}},
        {"rare ends",
         {0, 40000, 80000},
         {Action::ReloadPage, Action::ReloadPage, Action::ReloadPage}},
    };
    for (const auto& c : cases) {
        PageProcessRestarts restarts;
        std::vector<Action> actions;
        for (const qint64 at : c.endsMs)
            actions.push_back(restarts.OnPageProcessEnded(at));
        EXPECT_EQ(actions, c.actions) << c.name;
    }
}

} // namespace
