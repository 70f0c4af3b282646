#pragma once

#include <functional>
#include <string_view>

// Where a line goes besides the file. The line comes with its "\r\n".
using LogLineSink = std::function<void(std::string_view line)>;

// Standard output, and only when it is a terminal (a console program's window): the line and
// one more line end.
void WriteLineToConsole(std::string_view line);

// The system log at debug priority, where a debugger-output line is looked for on this system.
void WriteLineToSystemLog(std::string_view line);
