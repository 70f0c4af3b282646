#pragma once

#include <functional>
#include <optional>

// Makes a client routine the click handler of a page element: the page calls Invoke and gets
// the routine's answer back as the handler's value (false cancels the element's own action).
class TEventObject {
public:
    using Handler = std::function<int()>;

    explicit TEventObject(Handler handler) : handler_(std::move(handler)) {}

    // Runs the handler once. Its answer reads as true when its low 16 bits are not all zero.
    // Without a handler nothing runs and the result stays unset, so the click goes on.
    std::optional<bool> Invoke() const;

    // How an answer of the handler reads.
    static bool AnswerAsBool(int answer) { return (answer & 0xFFFF) != 0; }

private:
    Handler handler_;
};
