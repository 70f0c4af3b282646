#include "system/killprocess.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Copies of a long-running program under a name no other process has.
class NamedProcesses : public testing::Test {
protected:
    QString start(const QString& name) {
        const QString path = dir.filePath(name);
        if (!QFile::exists(path)) {
            EXPECT_TRUE(QFile::copy(QStringLiteral("/bin/sleep"), path));
        }
        auto process = std::make_unique<QProcess>();
        process->start(path, {QStringLiteral("60")});
        EXPECT_TRUE(process->waitForStarted());
        processes.push_back(std::move(process));
        return path;
    }
    void TearDown() override {
        for (auto& process : processes) {
            process->kill();
            process->waitForFinished();
        }
    }
    QTemporaryDir dir;
    std::vector<std::unique_ptr<QProcess>> processes;
};

TEST_F(NamedProcesses, EndsEveryProcessOfTheNameIgnoringCase) {
    const QString name = QStringLiteral("pvkill%1").arg(QCoreApplication::applicationPid());
    for (int i = 0; i < 3; ++i)
        start(name);
    start(name + QStringLiteral("x"));

    EXPECT_EQ(KillProcessByName(name.toUpper()), 3);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(processes[i]->waitForFinished(5000));
        EXPECT_EQ(processes[i]->exitStatus(), QProcess::CrashExit);
    }
    EXPECT_EQ(processes[3]->state(), QProcess::Running);
}

TEST_F(NamedProcesses, NoMatchEndsNothing) {
    start(QStringLiteral("pvkeep%1").arg(QCoreApplication::applicationPid()));
    EXPECT_EQ(KillProcessByName(QStringLiteral("no-such-program-name")), 0);
    EXPECT_EQ(processes[0]->state(), QProcess::Running);
}

} // namespace
