// Lines per second: our logger (file output, the shared lock taken for every line) against
// spdlog's rotating file sink, same line length, same rotation size, one thread each, in the
// same run. Each side runs several rounds, alternating, and the best round counts, so a
// passing disturbance on the machine hurts neither side alone.

#include "log/tzarqlogger.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <spdlog/pattern_formatter.h>
#include <spdlog/sinks/rotating_file_sink.h>
#include <spdlog/spdlog.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr int Lines = 400000;
constexpr int Rounds = 5;
constexpr int RotationSize = 10000000;
// With the 45-character prefix and "\r\n" of our lines this makes about 100 bytes a line.
constexpr const char* Message = "lesson %07d: recording checked, level in range ok";

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

qint64 DirectoryBytes(const QString& dir) {
    qint64 total = 0;
    for (const QFileInfo& entry : QDir(dir).entryInfoList(QDir::Files))
        total += entry.size();
    return total;
}

void EmptyDirectory(const QString& dir) {
    for (const QFileInfo& entry : QDir(dir).entryInfoList(QDir::Files))
        QFile::remove(entry.absoluteFilePath());
}

struct Round {
    double linesPerSecond;
    double bytesPerLine;
};

Round RunOurs(const QString& dir) {
    const QString conf = dir + QStringLiteral("/conf.ini");
    QFile file(conf);
    if (!file.open(QIODevice::WriteOnly))
        std::exit(1);
    file.write(QStringLiteral("[logger]\r\nmaxsize=%1\r\noverwrite=0\r\noutput=1\r\nlevel=7\r\n"
                              "file=ours/bench.log\r\n")
                   .arg(RotationSize)
                   .toUtf8());
    file.close();
    QDir(dir).mkpath(QStringLiteral("ours"));

    TzarqLogger logger;
    if (!logger.Open(conf, true, QStringLiteral("logger"), dir + QStringLiteral("/bench")))
        std::exit(1);
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < Lines; ++i)
        logger.Log(4, Message, i);
    const double seconds = Seconds(start);
    logger.Close();

    const QString out = dir + QStringLiteral("/ours");
    const Round round{Lines / seconds, double(DirectoryBytes(out)) / Lines};
    EmptyDirectory(out);
    return round;
}

// everyLine: spdlog hands every line to the kernel at once, as our logger does (for context;
// the comparison is with its default buffering).
Round RunSpdlog(const QString& dir, bool everyLine) {
    const QString out = dir + QStringLiteral("/spd");
    QDir(dir).mkpath(QStringLiteral("spd"));
    auto sink = std::make_shared<spdlog::sinks::rotating_file_sink_mt>(
        (out + QStringLiteral("/bench.log")).toStdString(), RotationSize, 1000);
    spdlog::logger logger("bench", sink);
    // The same fields as our line: time, level, process, thread, message, "\r\n".
    logger.set_formatter(std::make_unique<spdlog::pattern_formatter>(
        "[%y/%m/%d-%H:%M:%S %e][INF][Px%P][Tx%t] %v", spdlog::pattern_time_type::local, "\r\n"));
    if (everyLine)
        logger.flush_on(spdlog::level::info);
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < Lines; ++i)
        logger.info(fmt::runtime("lesson {:07d}: recording checked, level in range ok"), i);
    const double seconds = Seconds(start);
    logger.flush();
    const Round round{Lines / seconds, double(DirectoryBytes(out)) / Lines};
    EmptyDirectory(out);
    return round;
}

void KeepBest(Round& best, const Round& round) {
    if (round.linesPerSecond > best.linesPerSecond)
        best = round;
}

} // namespace

int main() {
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    // The lock file goes to the runtime directory; give it a private one when there is none.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = dir.path() + QStringLiteral("/run");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }

    Round ours{0, 0};
    Round theirs{0, 0};
    Round theirsEveryLine{0, 0};
    for (int round = 0; round < Rounds; ++round) {
        const Round a = RunOurs(dir.path());
        const Round b = RunSpdlog(dir.path(), false);
        const Round c = RunSpdlog(dir.path(), true);
        std::printf("round %d: ours %.0f, spdlog %.0f, spdlog flushing every line %.0f lines/s\n",
                    round + 1, a.linesPerSecond, b.linesPerSecond, c.linesPerSecond);
        KeepBest(ours, a);
        KeepBest(theirs, b);
        KeepBest(theirsEveryLine, c);
    }
    std::printf("\n%d lines per round, best of %d rounds, rotation at %d bytes\n", Lines, Rounds,
                RotationSize);
    std::printf("ours (file, shared lock per line):         %10.0f lines/s, %.1f bytes/line\n",
                ours.linesPerSecond, ours.bytesPerLine);
    std::printf("spdlog rotating_file_sink_mt:              %10.0f lines/s, %.1f bytes/line\n",
                theirs.linesPerSecond, theirs.bytesPerLine);
    std::printf("ratio ours/spdlog: %.2f\n", ours.linesPerSecond / theirs.linesPerSecond);
    std::printf("for context, spdlog flushing every line:   %10.0f lines/s (ours/that %.2f)\n",
                theirsEveryLine.linesPerSecond,
                ours.linesPerSecond / theirsEveryLine.linesPerSecond);
    return 0;
}
