#include "ui/formresources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void RegisterForms() {
    Q_INIT_RESOURCE(parvelo_forms);
}

void InitFormResources() {
    static const bool registered = (RegisterForms(), true);
    Q_UNUSED(registered);
}
