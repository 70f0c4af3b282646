#pragma once

#include <QString>
#include <QStringList>

enum class RunResult {
    Ended,      // the program ran and ended with exit code 0, or the application was asked to
                // end meanwhile
    Failed,     // the program ended with another exit code, or a signal ended it
    NotStarted, // no such program in the program directory, or it could not be started
    TimedOut,   // the program did not end in time and was ended
};

// A registration takes a moment; one that has not ended by then hangs.
inline constexpr int RunAndWaitTimeoutMs = 30000;

// Starts the program of that name from the program directory (never from the search path, nor
// from the current directory when the program directory is unknown), hidden, with these
// arguments, each passed whole. Waits for its end as an event, handling the window messages
// meanwhile so the client stays responsive and no processor core is kept busy; the wait also
// ends when the application is asked to end. A program still running after timeoutMs is ended.
RunResult RunAndWait(const QString& program, const QStringList& arguments,
                     int timeoutMs = RunAndWaitTimeoutMs);
