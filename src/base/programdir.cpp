#include "base/programdir.h"

#include "platform/processinfo.h"

#include <QFileInfo>

namespace {
QString& Storage() {
    static QString dir;
    return dir;
}
} // namespace

QString ProgramDir() {
    return Storage();
}

QString ProgramDirOf(const QString& executablePath) {
    if (executablePath.isEmpty())
        return QString();
    const QString dir = QFileInfo(executablePath).path();
    return dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
}

void SetProgramDir(const QString& dir) {
    Storage() = dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
}

bool SetProgramDirFromExecutable() {
    Storage() = ProgramDirOf(ExecutablePath());
    return !Storage().isEmpty();
}
