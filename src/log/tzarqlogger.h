#pragma once

#include "log/logcfg.h"
#include "log/logchannels.h"
#include "log/logfile.h"
#include "log/logrecord.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

class FileLock;

// The log writer. Each opening and closing leaves a framed run of lines in the file, the file
// is replaced by a fresh one when it grows past its limit, and a lock shared by every thread and
// process logging on behalf of the same module lets them take turns.
//
// Open, Close and the configuration belong to the thread that opens the log; Log, Write and
// Flush may be called from any thread.
class TzarqLogger {
public:
    TzarqLogger();
    ~TzarqLogger();
    TzarqLogger(const TzarqLogger&) = delete;
    TzarqLogger& operator=(const TzarqLogger&) = delete;

    // With useConfig the settings come from the INI file at path (section, or "logger" when
    // empty); without, path is the log file itself. modulePath empty stands for the program's
    // executable. True when the log is usable.
    bool Open(const QString& path, bool useConfig, const QString& section,
              const QString& modulePath = QString());
    void Close();

    void Log(std::uint32_t level, const char* format, ...) __attribute__((format(printf, 3, 4)));
    void LogV(std::uint32_t level, const char* format, va_list arguments)
        __attribute__((format(printf, 3, 0)));
    // An error line, forced to disk.
    void Write(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void WriteV(const char* format, va_list arguments) __attribute__((format(printf, 2, 0)));
    // Forces the open file's lines to disk; nothing when no file is open.
    void Flush();

    // True when a line of this level goes anywhere.
    bool Accepts(std::uint32_t level) const {
        return output_.load(std::memory_order_relaxed) != 0 &&
               (level & level_.load(std::memory_order_relaxed)) != 0;
    }

    const TzarqLogCfg& Configuration() const { return configuration_; }
    // The log file in use; empty when none is open.
    QString FilePath() const;

    // Replace where output bits 2 and 4 send their lines (standard output and the system log
    // by default). Set them before the log is opened.
    void SetConsoleOutput(LogLineSink sink) { console_ = std::move(sink); }
    void SetDebuggerOutput(LogLineSink sink) { debugger_ = std::move(sink); }

private:
    bool WriteHeader(bool created);
    void WriteFooter(bool final);
    void Rotate();
    // Follows the path to the file now under it when another process rotated the open one
    // away; with createWhenMissing a vanished file is created anew.
    void FollowPath(bool createWhenMissing);
    // Writes to the open file and keeps the shared record's size in step.
    bool Append(const std::string& text);
    // Makes the open file the recorded one, when it is not yet.
    void RecordOpenFile();
    // The open file's size, from the record when it vouches for the file.
    std::int64_t FileSize() const;
    static QString GetVersionText(const QString& filePath);
    // The lock shared with the other processes logging for the module; false only when it was
    // not had in time. Without a private runtime folder there is none to take.
    bool LockProcesses();
    void UnlockProcesses(bool locked);
    // Copies the output and level sets to where Log reads them without taking a lock.
    void PublishFilter();

    TzarqLogCfg configuration_;
    QString module_; // full path of the module; empty while the log is closed
    std::unique_ptr<FileLock> mutex_;
    LogFile file_;
    LogFileRecord record_;
    int linesSincePathCheck_ = 0;

    std::mutex threadMutex_; // the lock's owner is the process; this takes turns inside it
    QByteArray filePath_;    // the open file's path, encoded for the system
    LogLineSink console_;
    LogLineSink debugger_;
    std::atomic<std::uint32_t> output_{0};
    std::atomic<std::uint32_t> level_{0};
};

// The process-wide log that the routines of log/logger.h act on.
extern TzarqLogger TheLogger;
