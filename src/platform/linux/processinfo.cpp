#include "platform/processinfo.h"

#include <QFile>
#include <sys/syscall.h>
#include <unistd.h>

QString ExecutablePath() {
    return QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
}

long CurrentThreadNumber() {
    return static_cast<long>(::syscall(SYS_gettid));
}

long CurrentProcessNumber() {
    return static_cast<long>(::getpid());
}
