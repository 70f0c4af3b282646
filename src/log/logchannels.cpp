#include "log/logchannels.h"

#include <cstdio>
#include <syslog.h>
#include <unistd.h>

void WriteLineToConsole(std::string_view line) {
    static const bool terminal = ::isatty(STDOUT_FILENO) == 1;
    if (!terminal)
        return;
    // Locked so that lines from two threads do not mix.
    ::flockfile(stdout);
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fwrite("\r\n", 1, 2, stdout);
    std::fflush(stdout);
    ::funlockfile(stdout);
}

void WriteLineToSystemLog(std::string_view line) {
    // A system log record is a line already; its line end would show as control characters.
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    ::syslog(LOG_USER | LOG_DEBUG, "%.*s", static_cast<int>(line.size()), line.data());
}
