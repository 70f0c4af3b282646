#pragma once

#include <QString>

// The directory of the running executable, ending in "/". Every settings access and every
// installation path is built on it.
QString ProgramDir();
// Sets it from the executable's own path.
void SetProgramDirFromExecutable();
// Sets it to dir, appending "/" when missing. For tests and the main window's check.
void SetProgramDir(const QString& dir);
