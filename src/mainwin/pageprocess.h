#pragma once

#include <QtGlobal>

#include <optional>

// What the window does when the browser's page process ends abnormally (killed, out of
// memory, a crash): the page area would otherwise stay white for good.
enum class PageProcessAction {
    ReloadPage,    // load the page that was shown again
    ShowErrorPage, // the page process died again soon after: the local error page, no loop
};

// Reloads after a page process ended, unless the one before ended less than 30 seconds
// earlier: a page that kills its process each time it loads must not keep the client busy.
class PageProcessRestarts {
public:
    // nowMs: a monotonic clock reading.
    PageProcessAction OnPageProcessEnded(qint64 nowMs);

private:
    std::optional<qint64> lastEndMs_;
};
