#include "log/logger.h"

#include "log/tzarqlogger.h"

#include <cstdarg>

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

void DebugLog(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    TheLogger.LogV(LogDebug, format, arguments);
    va_end(arguments);
}
