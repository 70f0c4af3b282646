#include "log/tzarqlogger.h"

#include "log/logclock.h"
#include "log/logformat.h"
#include "log/logidentity.h"
#include "log/logpaths.h"
#include "platform/filelock.h"
#include "platform/processinfo.h"
#include "platform/runtimedir.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

constexpr std::uint32_t ToFile = 1;
constexpr std::uint32_t ToConsole = 2;
constexpr std::uint32_t ToDebugger = 4;

constexpr std::uint32_t ErrorLevel = 1;

// Another logger holds the lock only for a rotation or a look at the file; longer means it
// hangs, and lines must not wait for it for ever.
constexpr int ProcessLockTimeoutMs = 5000;

// Lines between two looks at the path itself while the shared record vouches for the file.
// Loggers that rotate or recreate the file always record it; the look is for files deleted or
// moved by hand, whose lines would otherwise go on into a file nobody can read.
constexpr int LinesBetweenPathChecks = 64;

// Appends the formatted message to out: formatted straight into out's spare room, and once
// more when it did not fit.
void AppendMessage(std::string& out, const char* format, va_list arguments) {
    const std::size_t start = out.size();
    out.resize(std::max<std::size_t>(out.capacity(), start + 256));
    va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(out.data() + start, out.size() - start, format, copy);
    va_end(copy);
    if (length < 0) {
        out.resize(start);
        return;
    }
    const std::size_t end = start + static_cast<std::size_t>(length);
    if (end >= out.size()) {
        out.resize(end + 1);
        std::vsnprintf(out.data() + start, out.size() - start, format, arguments);
    }
    out.resize(end);
}

} // namespace

TzarqLogger::TzarqLogger() : console_(WriteLineToConsole), debugger_(WriteLineToSystemLog) {
    PublishFilter();
}

TzarqLogger::~TzarqLogger() {
    Close();
}

bool TzarqLogger::Open(const QString& path, bool useConfig, const QString& section,
                       const QString& modulePath) {
    Close();
    std::lock_guard<std::mutex> guard(threadMutex_);

    const QString module =
        QFileInfo(modulePath.isEmpty() ? ExecutablePath() : modulePath).absoluteFilePath();
    // Without a private runtime folder the log goes on without the lock: never on a lock file
    // another user could hold or truncate.
    const QString runtime = RuntimeDirectory();
    const QString lockPath = runtime.isEmpty() ? QString() : LoggerLockPath(runtime, module);
    if (!lockPath.isEmpty()) {
        auto lock = std::make_unique<FileLock>(lockPath);
        if (!lock->open())
            return false;
        mutex_ = std::move(lock);
    }
    module_ = module;
    const QString moduleDirectory = QFileInfo(module_).absolutePath();

    if (useConfig)
        configuration_.LoadFromIni(ResolveSettingsPath(path, moduleDirectory), section);
    else
        configuration_.file = path;
    PublishFilter();

    if ((static_cast<std::uint32_t>(configuration_.output) & ToFile) == 0)
        return true;

    const QByteArray filePath =
        QFile::encodeName(ResolveLogFilePath(configuration_.file, moduleDirectory));
    // The lock on the file keeps the record's set-up to one logger at a time; the record's
    // own lock serves from then on.
    if (mutex_ && mutex_->lock(ProcessLockTimeoutMs)) {
        record_.map(QFile::encodeName(lockPath));
        mutex_->unlock();
    }
    const bool locked = LockProcesses();
    const LogFile::Opening opening = file_.openOrCreate(filePath);
    bool usable = opening != LogFile::Opening::Failed;
    if (usable) {
        filePath_ = filePath;
        const std::int64_t size = file_.size();
        usable = size >= 0;
        if (usable)
            record_.record(file_.device(), file_.inode(), static_cast<std::uint64_t>(size));
        // A run that follows earlier ones is set off by an empty line.
        if (usable && size != 0)
            usable = Append("\r\n");
        if (usable)
            usable = WriteHeader(opening == LogFile::Opening::Created);
        if (!usable) {
            record_.forget();
            file_.close();
            filePath_.clear();
        }
    }
    linesSincePathCheck_ = 0;
    UnlockProcesses(locked);
    return usable;
}

void TzarqLogger::Close() {
    std::lock_guard<std::mutex> guard(threadMutex_);
    module_.clear();
    if (file_.isOpen()) {
        const bool locked = LockProcesses();
        FollowPath(false);
        if (file_.isOpen())
            WriteFooter(true);
        file_.close();
        UnlockProcesses(locked);
    }
    record_.unmap();
    filePath_.clear();
    mutex_.reset();
    configuration_.Reset();
    PublishFilter();
}

void TzarqLogger::Log(std::uint32_t level, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    LogV(level, format, arguments);
    va_end(arguments);
}

void TzarqLogger::LogV(std::uint32_t level, const char* format, va_list arguments) {
    const std::uint32_t output = output_.load(std::memory_order_relaxed);
    if (output == 0 || (level & level_.load(std::memory_order_relaxed)) == 0)
        return;

    // Each thread formats into its own buffer, which keeps its room from line to line.
    thread_local std::string line;
    line.clear();
    AppendLogLinePrefix(line, CurrentLogTime(), level, LogProcessNumber(), LogThreadNumber());
    AppendMessage(line, format, arguments);
    line += "\r\n";
    if (output & ToFile) {
        std::lock_guard<std::mutex> guard(threadMutex_);
        if (file_.isOpen()) {
            // A lock not had in time still lets the line out, without the file checks that
            // need it.
            const bool locked = LockProcesses();
            if (locked && (!record_.describes(file_.device(), file_.inode()) ||
                           ++linesSincePathCheck_ >= LinesBetweenPathChecks)) {
                FollowPath(true);
                RecordOpenFile();
                linesSincePathCheck_ = 0;
            }
            // The size is tested before the write, so a file can pass its limit by one line.
            const std::int64_t size = locked && file_.isOpen() ? FileSize() : -1;
            if (size >= 0 && static_cast<std::uint32_t>(size) >
                                 static_cast<std::uint32_t>(configuration_.maxsize))
                Rotate();
            if (file_.isOpen())
                Append(line); // a failed write loses the line; nothing more to do
            UnlockProcesses(locked);
        }
    }
    if ((output & ToConsole) && console_)
        console_(line);
    if ((output & ToDebugger) && debugger_)
        debugger_(line);
    // One very long message should not keep its room for the thread's lifetime.
    if (line.capacity() > 65536) {
        line.clear();
        line.shrink_to_fit();
    }
}

void TzarqLogger::Write(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    WriteV(format, arguments);
    va_end(arguments);
}

void TzarqLogger::WriteV(const char* format, va_list arguments) {
    LogV(ErrorLevel, format, arguments);
    Flush();
}

void TzarqLogger::Flush() {
    std::lock_guard<std::mutex> guard(threadMutex_);
    file_.sync();
}

QString TzarqLogger::FilePath() const {
    return QFile::decodeName(filePath_);
}

bool TzarqLogger::WriteHeader(bool created) {
    LogHeaderFields fields;
    fields.title = configuration_.title.toStdString();
    fields.created = created;
    fields.time = CurrentLogTime();
    const QString application = ExecutablePath();
    fields.applicationPath = application.toStdString();
    fields.modulePath = module_.toStdString();
    fields.process = LogProcessNumber();
    fields.applicationVersion = GetVersionText(application).toStdString();
    fields.moduleVersion = GetVersionText(module_).toStdString();
    return Append(FormatLogHeader(fields));
}

void TzarqLogger::WriteFooter(bool final) {
    Append(FormatLogFooter(configuration_.title.toStdString(), final, CurrentLogTime(),
                           LogProcessNumber()));
}

void TzarqLogger::Rotate() {
    WriteFooter(false);
    // Forgotten before the path changes, so that a logger that dies half-way through leaves
    // the others asking the system rather than trusting a file that is gone.
    record_.forget();
    file_.close();
    if (configuration_.overwrite) {
        ::unlink(filePath_.constData());
    } else {
        const QString path = QFile::decodeName(filePath_);
        for (;;) {
            const QByteArray rotated =
                QFile::encodeName(RotatedLogPath(path, FormatRotationStamp(CurrentLogTime())));
            const RenameResult result = RenameWithoutReplacing(filePath_, rotated);
            if (result == RenameResult::Failed)
                ::unlink(filePath_.constData());
            if (result != RenameResult::NameTaken)
                break;
            // An earlier rotation took this millisecond's name; never overwrite it.
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    if (!file_.create(filePath_))
        return;
    record_.record(file_.device(), file_.inode(), 0);
    if (!WriteHeader(false)) {
        record_.forget();
        file_.close();
    }
}

bool TzarqLogger::Append(const std::string& text) {
    const bool recorded = record_.describes(file_.device(), file_.inode());
    if (!file_.append(text)) {
        // How much of it reached the file is unknown.
        if (recorded)
            record_.forget();
        return false;
    }
    if (recorded)
        record_.grow(text.size());
    return true;
}

void TzarqLogger::RecordOpenFile() {
    if (!file_.isOpen() || record_.describes(file_.device(), file_.inode()))
        return;
    const std::int64_t size = file_.size();
    if (size >= 0)
        record_.record(file_.device(), file_.inode(), static_cast<std::uint64_t>(size));
}

std::int64_t TzarqLogger::FileSize() const {
    if (record_.describes(file_.device(), file_.inode()))
        return static_cast<std::int64_t>(record_.size());
    return file_.size();
}

bool TzarqLogger::LockProcesses() {
    if (record_.isMapped())
        return record_.lock(ProcessLockTimeoutMs);
    return !mutex_ || mutex_->lock(ProcessLockTimeoutMs);
}

void TzarqLogger::UnlockProcesses(bool locked) {
    if (!locked)
        return;
    if (record_.isMapped())
        record_.unlock();
    else if (mutex_)
        mutex_->unlock();
}

void TzarqLogger::PublishFilter() {
    output_.store(static_cast<std::uint32_t>(configuration_.output), std::memory_order_relaxed);
    level_.store(static_cast<std::uint32_t>(configuration_.level), std::memory_order_relaxed);
}

void TzarqLogger::FollowPath(bool createWhenMissing) {
    if (file_.isAt(filePath_))
        return;
    if (!createWhenMissing) {
        file_.openExisting(filePath_);
        return;
    }
    // The run goes on in a file of its own, as after a rotation.
    if (file_.openOrCreate(filePath_) == LogFile::Opening::Created) {
        record_.record(file_.device(), file_.inode(), 0);
        if (!WriteHeader(false))
            file_.close();
    }
}

QString TzarqLogger::GetVersionText(const QString& filePath) {
    // Every file of the installation is built with the program's version.
    if (!QFileInfo::exists(filePath))
        return QString();
    return QStringLiteral("%1.%2.%3.%4")
        .arg(PARVELO_VERSION_MAJOR)
        .arg(PARVELO_VERSION_MINOR)
        .arg(PARVELO_VERSION_PATCH)
        .arg(PARVELO_VERSION_TWEAK);
}
