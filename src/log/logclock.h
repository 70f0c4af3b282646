#pragma once

#include "log/logformat.h"

// The current local time, to the millisecond.
LogTime CurrentLogTime();
