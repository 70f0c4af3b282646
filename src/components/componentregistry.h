#pragma once

#include <QString>

// The per-user register of the client's loadable components: which module file carries a
// component. A module records itself when it is registered; the client finds its components
// through the register, never by a fixed path.

// The register's file in the user's configuration folder.
QString ComponentRegistryPath();

// Records modulePath (made absolute) as the module of component. False when the register
// cannot be written.
bool RecordComponentModule(const QString& component, const QString& modulePath);

// The module recorded for component; empty when none is.
QString RegisteredComponentModule(const QString& component);
