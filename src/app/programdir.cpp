#include "app/programdir.h"

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

void SetProgramDir(const QString& dir) {
    Storage() = dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
}

void SetProgramDirFromExecutable() {
    SetProgramDir(QFileInfo(ExecutablePath()).path());
}
