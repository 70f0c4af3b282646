#include "app/runandwait.h"

#include "app/programdir.h"
#include "app/termination.h"
#include "log/logger.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

QString ProgramPath(const QString& program) {
    if (program.contains(QLatin1Char('/')))
        return program;
    const QString beside = ProgramDir() + program;
    if (QFileInfo(beside).isExecutable())
        return beside;
    return QStandardPaths::findExecutable(program);
}

} // namespace

QStringList SplitRunParameters(const QString& parameters) {
    QStringList arguments;
    QString rest = parameters.trimmed();
    // A switch is "/" and a word without another "/": "/opt/x" is a path, not a switch.
    while (rest.startsWith(QLatin1Char('/'))) {
        const qsizetype blank = rest.indexOf(QLatin1Char(' '));
        const QString word = blank < 0 ? rest : rest.left(blank);
        if (word.lastIndexOf(QLatin1Char('/')) != 0)
            break;
        arguments << word;
        rest = blank < 0 ? QString() : rest.mid(blank + 1).trimmed();
    }
    if (!rest.isEmpty())
        arguments << rest;
    return arguments;
}

void RunAndWait(const QString& program, const QString& parameters) {
    const QString path = ProgramPath(program);
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(path, SplitRunParameters(parameters));
    if (!process.waitForStarted()) {
        DebugLog("run %s: cannot start", qUtf8Printable(program));
        return;
    }
    DebugLog("run %s %s", qUtf8Printable(path), qUtf8Printable(parameters));
    // The process's end arrives as an event, so waiting for events is enough: no busy polling.
    while (process.state() != QProcess::NotRunning && !TerminationRequested())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 100);
    DebugLog("run %s ended, exit code %d", qUtf8Printable(program), process.exitCode());
}
