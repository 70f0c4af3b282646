#pragma once

#include "bridge/eventobject.h"

#include <QHash>
#include <QString>
#include <optional>

// The client's handlers of the top document's taken-over elements, by the token the page's
// click reports. An element keeps its token: taking it over again (the page is handled again
// each time one of its frames completes) replaces the handler, so the table never holds more
// entries than elements taken over, however often a frame reloads.
class ClickHandlerTable {
public:
    // The element's token, now leading to this handler.
    int Attach(const QString& elementId, TEventObject handler);
    std::optional<TEventObject> Find(int token) const;
    // A new top document holds none of the elements taken over.
    void Clear();
    int Size() const { return static_cast<int>(handlers_.size()); }

private:
    QHash<QString, int> tokens_;
    QHash<int, TEventObject> handlers_;
    // Tokens are never used twice in a run: a click from a document that has just gone finds
    // no handler instead of another document's.
    int nextToken_ = 1;
};
