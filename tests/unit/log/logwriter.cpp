// A process that logs: opens the log with a settings file on behalf of a module, writes count
// numbered lines "<name> line <k>" and closes it. With count 0 it writes until it is killed.
//
// Usage: log_test_writer <settings file> <module> <name> <count>
// Exit code: 0 after closing, 3 when the log could not be opened, 2 on a usage error.

#include "log/logger.h"
#include "log/tzarqlogger.h"

#include <QString>

#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 5)
        return 2;
    const QString settings = QString::fromLocal8Bit(argv[1]);
    const QString module = QString::fromLocal8Bit(argv[2]);
    const char* name = argv[3];
    const long count = std::strtol(argv[4], nullptr, 10);
    if (!OpenLog(settings, true, QStringLiteral("logger"), module))
        return 3;
    for (long k = 1; count == 0 || k <= count; ++k)
        TheLogger.Log(LogError, "%s line %ld", name, k);
    CloseLog();
    return 0;
}
