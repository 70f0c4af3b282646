#pragma once

// Ends the process this many milliseconds from now unless it has ended by itself before: the
// browser's shutdown writes what it still holds, but it must never keep the program alive.
void EndWithin(int milliseconds);
