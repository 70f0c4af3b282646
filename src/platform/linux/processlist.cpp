#include "platform/processlist.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString ExecutableName(const QString& procDir) {
    QString target = QFile::symLinkTarget(procDir + QStringLiteral("/exe"));
    if (!target.isEmpty()) {
        // A replaced or removed executable still names the process.
        target.remove(QStringLiteral(" (deleted)"));
        return QFileInfo(target).fileName();
    }
    QFile comm(procDir + QStringLiteral("/comm"));
    if (!comm.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(comm.readAll()).trimmed();
}

} // namespace

QList<ProcessEntry> ListOwnProcesses() {
    QList<ProcessEntry> processes;
    const uid_t me = ::geteuid();
    const QStringList names = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& name : names) {
        bool isNumber = false;
        const long pid = name.toLong(&isNumber);
        if (!isNumber)
            continue;
        const QString procDir = QStringLiteral("/proc/") + name;
        struct stat info {};
        if (::stat(procDir.toLocal8Bit().constData(), &info) != 0 || info.st_uid != me)
            continue;
        processes << ProcessEntry{pid, ExecutableName(procDir)};
    }
    std::sort(processes.begin(), processes.end(),
              [](const ProcessEntry& a, const ProcessEntry& b) { return a.pid < b.pid; });
    return processes;
}

bool TerminateProcess(long pid) {
    return ::kill(static_cast<pid_t>(pid), SIGKILL) == 0;
}
