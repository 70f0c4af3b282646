#include "system/killprocess.h"

#include "log/logger.h"
#include "platform/processlist.h"

#include <QCoreApplication>

bool SameExecutableName(const QString& a, const QString& b) {
    return a.toUtf8().toUpper() == b.toUtf8().toUpper();
}

int KillProcessByName(const QString& name, KillSelf self) {
    const qint64 own = QCoreApplication::applicationPid();
    int count = 0;
    for (const ProcessEntry& process : ListOwnProcesses()) {
        if (!SameExecutableName(process.exeName, name) ||
            (self == KillSelf::No && process.pid == own))
            continue;
        DebugLog("ending process %ld (%s)", process.pid, qUtf8Printable(process.exeName));
        if (TerminateProcess(process.pid))
            ++count;
    }
    return count;
}
