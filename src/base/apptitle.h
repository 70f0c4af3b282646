#pragma once

#include <QString>

// The application title: the text the taskbar shows for the client. "Parvelo" at start, then
// the settings' title once the splash is created.
QString ApplicationTitle();
void SetApplicationTitle(const QString& title);
