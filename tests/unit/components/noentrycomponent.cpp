// A loadable module that exports no registration entry.

#include <QtGlobal>

extern "C" Q_DECL_EXPORT int ComponentVersion() {
    return 1;
}
