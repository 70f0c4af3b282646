#include "bridge/eventobject.h"

std::optional<bool> TEventObject::Invoke() const {
    if (!handler_)
        return std::nullopt;
    return AnswerAsBool(handler_());
}
