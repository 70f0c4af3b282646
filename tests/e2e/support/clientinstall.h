#pragma once

#include <QPoint>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSize>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

// A private installation of the client for one test: its own copy of the staged installation
// under a program name no other test uses (the client ends every process of its own name when
// it closes), its own runtime directory and home, and its log switched to DBG lines.
class ClientInstallation {
public:
    explicit ClientInstallation(const QString& testName);
    ~ClientInstallation();

    QString dir() const { return root_.filePath(QStringLiteral("install")); }
    QString exeName() const { return exeName_; }
    QString confPath() const;
    QString logPath() const;
    QProcessEnvironment environment() const;

    // Starts one more process of the client; the installation keeps it.
    QProcess* start();
    QProcess* start(const QProcessEnvironment& environment);
    QString log() const;
    int logCount(const QString& text) const;
    int runningCount() const;
    // Ends every process of this installation's program name.
    void killAll();

private:
    QTemporaryDir root_;
    QString exeName_;
    std::vector<std::unique_ptr<QProcess>> processes_;
};

// Polls until the condition holds or the time is up; the result says which.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 30000);

// Runs an X11 input command (xdotool) and waits for it.
bool RunXdotool(const QStringList& arguments);

// A click at a point of a window of the given size centred on the screen (the main window
// is; the client's dialogs are centred on it).
bool ClickInCentredWindow(QSize window, QPoint at);
