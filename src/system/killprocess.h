#pragma once

#include <QString>

// Whether two executable names are the same, ignoring the case of ASCII letters only.
bool SameExecutableName(const QString& a, const QString& b);

enum class KillSelf { Yes, No };

// Ends every process of the calling user whose executable has this name, in ascending
// process-number order, the calling process included (the call then ends the program) unless
// told otherwise. Returns the number of processes ended.
int KillProcessByName(const QString& name, KillSelf self = KillSelf::Yes);
