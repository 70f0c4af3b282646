#pragma once

// The application's request to end: made once (by start-up when a needed component is
// missing), seen by the waits that would otherwise hold the program.
void RequestTermination();
bool TerminationRequested();
