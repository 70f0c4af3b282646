#include "support/clientinstall.h"

#include "base/inifile.h"
#include "platform/processlist.h"
#include "system/killprocess.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

namespace {

void CopyTree(const QString& from, const QString& to) {
    QDir().mkpath(to);
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        if (it.fileInfo().isDir())
            QDir().mkpath(target);
        else
            QFile::copy(source, target);
    }
}

} // namespace

ClientInstallation::ClientInstallation(const QString& testName)
    : exeName_(QStringLiteral("pv-%1-%2").arg(testName).arg(QCoreApplication::applicationPid())) {
    CopyTree(QStringLiteral(PARVELO_E2E_INSTALL_DIR), dir());
    QFile::rename(dir() + QStringLiteral("/parvelo"), dir() + QLatin1Char('/') + exeName_);
    QDir().mkpath(root_.filePath(QStringLiteral("run")));
    QFile::setPermissions(root_.filePath(QStringLiteral("run")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDir().mkpath(root_.filePath(QStringLiteral("home")));
    // Errors, warnings, information and the DBG lines.
    WriteProfileString(confPath(), QStringLiteral("logger"), QStringLiteral("level"),
                       QStringLiteral("39"));
}

ClientInstallation::~ClientInstallation() {
    killAll();
}

QString ClientInstallation::confPath() const {
    return dir() + QStringLiteral("/Conf.ini");
}

QString ClientInstallation::logPath() const {
    return dir() + QStringLiteral("/zoravoraz.log");
}

QProcessEnvironment ClientInstallation::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), root_.filePath(QStringLiteral("run")));
    env.insert(QStringLiteral("HOME"), root_.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    return env;
}

QProcess* ClientInstallation::start() {
    return start(environment());
}

QProcess* ClientInstallation::start(const QProcessEnvironment& environment) {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(root_.path());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(dir() + QLatin1Char('/') + exeName_, {});
    process->waitForStarted();
    processes_.push_back(std::move(process));
    return processes_.back().get();
}

QString ClientInstallation::log() const {
    QFile file(logPath());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

int ClientInstallation::logCount(const QString& text) const {
    return static_cast<int>(log().count(text));
}

int ClientInstallation::runningCount() const {
    int count = 0;
    for (const ProcessEntry& process : ListOwnProcesses())
        if (process.exeName == exeName_)
            ++count;
    return count;
}

void ClientInstallation::killAll() {
    KillProcessByName(exeName_);
    for (auto& process : processes_)
        process->waitForFinished(5000);
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QThread::msleep(50);
    }
    return true;
}

bool RunXdotool(const QStringList& arguments) {
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), arguments);
    return xdotool.waitForFinished(10000) && xdotool.exitCode() == 0;
}

namespace {

QString XdotoolOutput(const QStringList& arguments) {
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), arguments);
    xdotool.waitForFinished(10000);
    return QString::fromLatin1(xdotool.readAllStandardOutput());
}

// Whether a shown window has this place and size. The client logs its message loop before
// the X server has mapped its window; a click sent earlier is lost.
bool WindowShownAt(QPoint origin, QSize size) {
    const QStringList windows =
        XdotoolOutput({"search", "--onlyvisible", "--name", ""}).split('\n', Qt::SkipEmptyParts);
    for (const QString& window : windows) {
        const QString geometry = XdotoolOutput({"getwindowgeometry", "--shell", window});
        if (geometry.contains(QStringLiteral("X=%1\n").arg(origin.x())) &&
            geometry.contains(QStringLiteral("Y=%1\n").arg(origin.y())) &&
            geometry.contains(QStringLiteral("WIDTH=%1\n").arg(size.width())) &&
            geometry.contains(QStringLiteral("HEIGHT=%1\n").arg(size.height())))
            return true;
    }
    return false;
}

} // namespace

bool ClickInCentredWindow(QSize window, QPoint at) {
    const QStringList screen = XdotoolOutput({"getdisplaygeometry"}).split(' ');
    if (screen.size() != 2)
        return false;
    const QPoint origin((screen[0].toInt() - window.width()) / 2,
                        (screen[1].trimmed().toInt() - window.height()) / 2);
    if (!WaitUntil([&] { return WindowShownAt(origin, window); }))
        return false;
    const QPoint target = origin + at;
    return RunXdotool({"mousemove", QString::number(target.x()), QString::number(target.y()),
                       "sleep", "0.2", "click", "1"});
}
