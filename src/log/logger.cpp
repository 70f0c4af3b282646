#include "log/logger.h"

#include "log/logescape.h"
#include "log/tzarqlogger.h"

#include <cstdarg>
#include <cstdio>
#include <string>

TzarqLogger TheLogger;

bool OpenLog(const QString& path, bool useConfig, const QString& section,
             const QString& modulePath) {
    return TheLogger.Open(path, useConfig, section, modulePath);
}

void CloseLog() {
    TheLogger.Close();
}

void WriteLog(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    TheLogger.WriteV(format, arguments);
    va_end(arguments);
}

void DebugLogText(const QString& line) {
    if (TheLogger.Accepts(LogDebug))
        TheLogger.Log(LogDebug, "%s", EscapeLogText(line.toStdString()).c_str());
}

void WarnLogText(const QString& line) {
    if (TheLogger.Accepts(LogWarning))
        TheLogger.Log(LogWarning, "%s", EscapeLogText(line.toStdString()).c_str());
}

void DebugLog(const char* format, ...) {
    if (!TheLogger.Accepts(LogDebug))
        return;
    va_list arguments;
    va_start(arguments, format);
    va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string message(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    if (length > 0)
        std::vsnprintf(message.data(), message.size() + 1, format, arguments);
    va_end(arguments);
    // The lines hold text of pages: they stay one line each, whatever that text holds.
    TheLogger.Log(LogDebug, "%s", EscapeLogText(message).c_str());
}
