#include "bridge/eventobject.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

TEST(TEventObject, LowSixteenBitsDecide) {
    const std::pair<int, bool> cases[] = {
        {-1, true},       {0, false},      {1, true},        {0xFFFF, true},  {0x8000, true},
        {0x10000, false}, {0x10001, true}, {INT_MIN, false}, {INT_MAX, true},
    };
    for (const auto& [answer, proceed] : cases) {
        int calls = 0;
        const TEventObject sink([&calls, answer = answer] {
            ++calls;
            return answer;
        });
        EXPECT_EQ(sink.Invoke(), std::optional<bool>(proceed)) << answer;
        EXPECT_EQ(calls, 1) << answer;
    }
}

TEST(TEventObject, EachClickRunsTheHandlerOnce) {
    int calls = 0;
    const TEventObject sink([&calls] { return ++calls % 2; });
    EXPECT_EQ(sink.Invoke(), std::optional<bool>(true));
    EXPECT_EQ(sink.Invoke(), std::optional<bool>(false));
    EXPECT_EQ(calls, 2);
}

TEST(TEventObject, EmptyHandlerLeavesTheResultUnset) {
    const TEventObject sink{TEventObject::Handler()};
    EXPECT_EQ(sink.Invoke(), std::nullopt);
}

} // namespace
