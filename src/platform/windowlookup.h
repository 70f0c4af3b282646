#pragma once

#include <QString>

// Whether a top-level window of another program with this window class and caption is open.
// On X11 the class is matched against either part of WM_CLASS and the caption against the
// window name. Without X11 no window is ever found.
bool TopLevelWindowExists(const QString& className, const QString& caption);
