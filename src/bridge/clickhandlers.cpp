#include "bridge/clickhandlers.h"

int ClickHandlerTable::Attach(const QString& elementId, TEventObject handler) {
    auto token = tokens_.constFind(elementId);
    if (token == tokens_.constEnd())
        token = tokens_.insert(elementId, nextToken_++);
    handlers_.insert(*token, std::move(handler));
    return *token;
}

std::optional<TEventObject> ClickHandlerTable::Find(int token) const {
    const auto found = handlers_.constFind(token);
    if (found == handlers_.constEnd())
        return std::nullopt;
    return *found;
}

void ClickHandlerTable::Clear() {
    tokens_.clear();
    handlers_.clear();
}
