#pragma once

#include <QString>

// The directory of the running executable, ending in "/". Every settings access and every
// installation path is built on it.
QString ProgramDir();
// The directory of the executable at executablePath, ending in "/"; empty when the path is
// unknown (never the current directory).
QString ProgramDirOf(const QString& executablePath);
// Sets it from the executable's own path. False when that path is unknown.
bool SetProgramDirFromExecutable();
// Sets it to dir, appending "/" when missing. For tests and the main window's check.
void SetProgramDir(const QString& dir);
