#pragma once

#include <QString>

// Message levels: each a bit of the configured level set.
enum LogLevel : unsigned {
    LogError = 1,
    LogWarning = 2,
    LogInfo = 4,
    LogVerbose = 8,
    LogPerformance = 16,
    LogDebug = 32,
    LogTime = 64,
};

// The process-wide log (TheLogger). Every routine is safe to call while the log is closed.

// Opens the log. With useConfig the settings come from the INI file at path (section, or
// "logger" when empty); without, path is the log file itself. modulePath empty stands for the
// program's own executable. True when the log is usable.
bool OpenLog(const QString& path, bool useConfig, const QString& section,
             const QString& modulePath = QString());
void CloseLog();
// An error line ("ERR"), forced to disk.
void WriteLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
// A "DBG" line: one for each decision the client takes, for the people who support it. The
// text is escaped (EscapeLogText): the lines carry text of pages.
void DebugLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
// A "DBG" line given whole, for lines that carry a page's text: a NUL in it is logged as
// "\x00" where a "%s" argument would end the text.
void DebugLogText(const QString& line);
// A warning line ("WAN") given whole, escaped as the DBG lines are: something an administrator
// must set right, written at the default level.
void WarnLogText(const QString& line);
