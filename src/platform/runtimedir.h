#pragma once

#include <QString>

// The per-user directory for locks and sockets: $XDG_RUNTIME_DIR, or a private folder
// under the temporary directory when the session has none. Ends without a separator.
QString RuntimeDirectory();
