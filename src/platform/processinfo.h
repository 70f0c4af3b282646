#pragma once

#include <QString>

// Full path of the running executable.
QString ExecutablePath();
// Number of the calling thread, as the system shows it.
long CurrentThreadNumber();
long CurrentProcessNumber();
