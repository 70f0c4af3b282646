#include "system/runandwait.h"

#include "base/programdir.h"
#include "base/termination.h"
#include "log/logger.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

namespace {

// How often the wait looks whether the application was asked to end.
constexpr int TerminationCheckMs = 100;

} // namespace

RunResult RunAndWait(const QString& program, const QStringList& arguments, int timeoutMs) {
    const QString path = ProgramDir().isEmpty() ? QString() : ProgramDir() + program;
    const QString commandLine = arguments.join(QLatin1Char(' '));
    if (path.isEmpty() || !QFileInfo(path).isExecutable()) {
        DebugLog("run %s: not in the program directory", qUtf8Printable(program));
        return RunResult::NotStarted;
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(path, arguments);
    if (!process.waitForStarted()) {
        DebugLog("run %s: cannot start", qUtf8Printable(path));
        return RunResult::NotStarted;
    }
    DebugLog("run %s %s", qUtf8Printable(path), qUtf8Printable(commandLine));

    QEventLoop wait;
    QObject::connect(&process, &QProcess::finished, &wait, &QEventLoop::quit);
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &wait, &QEventLoop::quit);
    timeout.start(timeoutMs);
    QTimer terminationCheck;
    QObject::connect(&terminationCheck, &QTimer::timeout, &wait, [&wait] {
        if (TerminationRequested())
            wait.quit();
    });
    terminationCheck.start(TerminationCheckMs);
    if (process.state() != QProcess::NotRunning && !TerminationRequested())
        wait.exec();

    if (process.state() != QProcess::NotRunning && !TerminationRequested()) {
        process.kill();
        process.waitForFinished();
        DebugLog("run %s: still running after %d ms, ended", qUtf8Printable(program), timeoutMs);
        return RunResult::TimedOut;
    }
    if (TerminationRequested() && process.state() != QProcess::NotRunning)
        return RunResult::Ended;
    if (process.exitStatus() == QProcess::CrashExit) {
        DebugLog("run %s ended by a signal", qUtf8Printable(program));
        return RunResult::Failed;
    }
    DebugLog("run %s ended, exit code %d", qUtf8Printable(program), process.exitCode());
    return process.exitCode() == 0 ? RunResult::Ended : RunResult::Failed;
}
