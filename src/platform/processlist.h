#pragma once

#include <QList>
#include <QString>

struct ProcessEntry {
    long pid;
    QString exeName; // executable file name without directory
};

// Running processes of the calling user, in ascending process-number order. Empty when the
// process list cannot be read.
QList<ProcessEntry> ListOwnProcesses();

// Ends the process at once. True when the system accepted the request.
bool TerminateProcess(long pid);
