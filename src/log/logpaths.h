#pragma once

#include <QString>

// Where the logger's files are.

// The log file from its configured path: backslashes become "/", and a relative path (one
// without a drive part, in the settings file's terms) is placed in the module's directory.
QString ResolveLogFilePath(const QString& configured, const QString& moduleDirectory);

// The settings file to read: path itself, made absolute, when such a file exists (letter case
// aside); otherwise the file of that name in the module's directory.
QString ResolveSettingsPath(const QString& path, const QString& moduleDirectory);

// The lock file that takes turns between every thread and process logging on behalf of the
// module: "ZARQ_Logger_Mutex::" and the module's file name, in the runtime directory.
QString LoggerLockPath(const QString& runtimeDirectory, const QString& modulePath);
