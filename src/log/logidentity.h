#pragma once

#include <cstdint>

// The process and thread numbers a line carries. Asking the system costs a call each; these
// keep the answer per thread and ask again in a child after fork.
std::uint32_t LogProcessNumber();
std::uint32_t LogThreadNumber();
