#include "logtestsupport.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <set>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Generous: only there so that a hang fails instead of blocking the run.
constexpr int ProcessWaitMs = 120000;

class MultiProcessLogTest : public LogDirFixture {
protected:
    std::unique_ptr<QProcess> StartWriter(const std::string& name, int count) {
        auto process = std::make_unique<QProcess>();
        process->setProgram(QStringLiteral(LOG_TEST_WRITER));
        process->setArguments(
            {ConfPath(), ModulePath(), QString::fromStdString(name), QString::number(count)});
        return process;
    }

    static void ExpectCleanExit(QProcess& process) {
        ASSERT_TRUE(process.waitForFinished(ProcessWaitMs));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    }

    // Every log line's message across all files; each file must hold nothing but blocks and
    // whole lines.
    std::multiset<std::string> CollectMessages() {
        std::multiset<std::string> seen;
        for (const QString& file : LogFiles()) {
            const LogShape shape = DescribeLog(ReadAll(file));
            EXPECT_EQ(shape.shape.find('?'), std::string::npos)
                << file.toStdString() << ": " << shape.shape;
            seen.insert(shape.messages.begin(), shape.messages.end());
        }
        return seen;
    }
};

TEST_F(MultiProcessLogTest, ConcurrentWritersLoseNothingAndTearNothing) {
    constexpr int Writers = 4;
    constexpr int Lines = 300;
    WriteConf({{"file", "client.log"}, {"maxsize", "2000"}, {"overwrite", "0"}});

    std::vector<std::unique_ptr<QProcess>> writers;
    for (int w = 0; w < Writers; ++w) {
        writers.push_back(StartWriter("writer" + std::to_string(w), Lines));
        writers.back()->start();
    }
    for (auto& writer : writers)
        ExpectCleanExit(*writer);

    const QStringList files = LogFiles();
    ASSERT_GT(files.size(), 2) << "the limit should have made the writers rotate";
    // A rotated-away file ends with the footer of the rotation that closed it: no writer
    // went on writing into it afterwards.
    for (int i = 1; i < files.size(); ++i) {
        const std::string shape = DescribeLog(ReadAll(files[i])).shape;
        EXPECT_EQ(shape.substr(shape.size() - 2), "Fc") << files[i].toStdString();
    }
    const std::multiset<std::string> seen = CollectMessages();
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(Writers * Lines));
    for (int w = 0; w < Writers; ++w)
        for (int k = 1; k <= Lines; ++k) {
            const std::string message = "writer" + std::to_string(w) + " line " + std::to_string(k);
            EXPECT_EQ(seen.count(message), 1u) << message;
        }
}

TEST_F(MultiProcessLogTest, KilledWriterDoesNotBlockTheNextOne) {
    constexpr int Lines = 100;
    WriteConf({{"file", "client.log"}, {"maxsize", "2000"}, {"overwrite", "0"}});

    std::unique_ptr<QProcess> victim = StartWriter("victim", 0);
    victim->start();
    ASSERT_TRUE(victim->waitForStarted(ProcessWaitMs));
    // Kill it once it is busy writing, so that it may well hold the lock.
    bool writing = false;
    for (int attempt = 0; attempt < 6000 && !writing; ++attempt) {
        writing = ReadAll(Path("client.log")).contains("victim line");
        if (!writing)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(writing);
    ::kill(static_cast<pid_t>(victim->processId()), SIGKILL);
    ASSERT_TRUE(victim->waitForFinished(ProcessWaitMs));
    EXPECT_EQ(victim->exitStatus(), QProcess::CrashExit);

    std::unique_ptr<QProcess> next = StartWriter("next", Lines);
    next->start();
    ExpectCleanExit(*next);

    const std::multiset<std::string> seen = CollectMessages();
    for (int k = 1; k <= Lines; ++k) {
        const std::string message = "next line " + std::to_string(k);
        EXPECT_EQ(seen.count(message), 1u) << message;
    }
}

TEST_F(MultiProcessLogTest, StandardOutputIsNotWrittenWhenItIsNoTerminal) {
    WriteConf({{"file", "client.log"}, {"output", "2"}});
    std::unique_ptr<QProcess> writer = StartWriter("piped", 3);
    writer->start();
    ExpectCleanExit(*writer);
    EXPECT_TRUE(writer->readAllStandardOutput().isEmpty());
    EXPECT_TRUE(LogFiles(QString()).isEmpty());
}

TEST_F(MultiProcessLogTest, StandardOutputOfATerminalGetsEachLineAndALineEnd) {
    WriteConf({{"file", "client.log"}, {"output", "2"}});
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const QString slaveName = QString::fromLocal8Bit(::ptsname(master));
    // Held open so the lines stay readable after the writer ends; raw, so that the terminal
    // passes the bytes as they are.
    const int slave = ::open(slaveName.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(slave, 0);
    termios mode{};
    ASSERT_EQ(::tcgetattr(slave, &mode), 0);
    ::cfmakeraw(&mode);
    ASSERT_EQ(::tcsetattr(slave, TCSANOW, &mode), 0);

    std::unique_ptr<QProcess> writer = StartWriter("console", 2);
    writer->setStandardOutputFile(slaveName);
    writer->start();
    ExpectCleanExit(*writer);

    std::string received;
    pollfd ready{master, POLLIN, 0};
    while (::poll(&ready, 1, 200) > 0 && (ready.revents & POLLIN)) {
        char buffer[4096];
        const ssize_t got = ::read(master, buffer, sizeof buffer);
        if (got <= 0)
            break;
        received.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(slave);
    ::close(master);

    const std::vector<std::string> lines = SplitCrLf(QByteArray::fromStdString(received));
    ASSERT_EQ(lines.size(), 4u) << received;
    for (int k = 0; k < 2; ++k) {
        std::smatch match;
        const std::string& line = lines[static_cast<std::size_t>(2 * k)];
        ASSERT_TRUE(std::regex_match(line, match, LogLinePattern())) << line;
        EXPECT_EQ(match[4], "console line " + std::to_string(k + 1));
        EXPECT_EQ(lines[static_cast<std::size_t>(2 * k + 1)], "");
    }
    EXPECT_TRUE(LogFiles(QString()).isEmpty());
}

} // namespace
