// The browser's page process ends under a running client, as when it is killed or runs out of
// memory: the client must not leave an empty window.

#include "support/clientinstall.h"

#include "base/inifile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

#include <csignal>
#include <map>
#include <vector>

namespace {

const QString PageDocument = QStringLiteral("page document: ");
const QString PageProcessEnded = QStringLiteral("][ERR][Px");

// The demo platform on a free port.
class DemoPlatform {
public:
    DemoPlatform() {
        server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server_.start(QStringLiteral("python3"),
                      {QStringLiteral("-B"), QStringLiteral(PARVELO_DEMO_SERVER),
                       QStringLiteral("--port"), QStringLiteral("0")});
        if (server_.waitForStarted() && server_.waitForReadyRead(20000))
            url_ = QString::fromUtf8(server_.readLine()).section(QLatin1Char(' '), -1).trimmed();
    }
    ~DemoPlatform() {
        server_.kill();
        server_.waitForFinished();
    }
    QString url() const { return url_; }

private:
    QProcess server_;
    QString url_;
};

QByteArray CommandLine(pid_t pid) {
    QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
    return cmdline.open(QIODevice::ReadOnly) ? cmdline.readAll() : QByteArray();
}

// Every page process of the browser below root. Page processes are forked from the browser's
// zygote process and keep its command line, so they are the zygote's children as well as any
// process that says it is one.
std::vector<pid_t> PageProcessesBelow(pid_t root) {
    std::map<pid_t, pid_t> parents;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const pid_t pid = entry.toInt(&number);
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!number || !stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ...": the name may hold blanks, so read after its ")".
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1)
            parents[pid] = fields[1].toInt();
    }
    std::vector<pid_t> found;
    for (const auto& [pid, parent] : parents) {
        bool below = false;
        for (pid_t up = parent; up > 1 && !below; up = parents.count(up) ? parents[up] : 0)
            below = up == root;
        if (!below)
            continue;
        const QByteArray command = CommandLine(pid);
        if (command.contains("--type=renderer") ||
            (command.contains("--type=zygote") && CommandLine(parent).contains("--type=zygote")))
            found.push_back(pid);
    }
    return found;
}

bool KillPageProcesses(const QProcess* client) {
    const std::vector<pid_t> pages = PageProcessesBelow(static_cast<pid_t>(client->processId()));
    for (const pid_t pid : pages)
        ::kill(pid, SIGKILL);
    return !pages.empty();
}

TEST(PageProcess, AKilledPageProcessReloadsThePageAndASecondSoonAfterGivesTheErrorPage) {
    DemoPlatform platform;
    ASSERT_FALSE(platform.url().isEmpty());
    ClientInstallation install(QStringLiteral("pageprocess"));
    ASSERT_TRUE(WriteProfileString(install.confPath(), QStringLiteral("Host"),
                                   QStringLiteral("Host"), platform.url()));
    const QProcess* client = install.start();
    ASSERT_TRUE(WaitUntil([&] { return install.logCount(PageDocument) >= 1; }, 60000))
        << install.log().toStdString();

    const int documentsBefore = install.logCount(PageDocument);
    ASSERT_TRUE(KillPageProcesses(client));
    ASSERT_TRUE(WaitUntil([&] { return install.logCount(PageProcessEnded) == 1; }))
        << install.log().toStdString();
    EXPECT_EQ(install.logCount(QStringLiteral("reloading the page")), 1);
    // The page that was shown comes back.
    ASSERT_TRUE(WaitUntil([&] { return install.logCount(PageDocument) > documentsBefore; }))
        << install.log().toStdString();

    // Dying again within thirty seconds: the local error page instead of another reload.
    ASSERT_TRUE(WaitUntil([&] { return KillPageProcesses(client); }));
    ASSERT_TRUE(WaitUntil([&] { return install.logCount(PageProcessEnded) == 2; }))
        << install.log().toStdString();
    EXPECT_EQ(install.logCount(QStringLiteral("showing the local error page")), 1);
    ASSERT_TRUE(WaitUntil([&] {
        return install.logCount(QStringLiteral("page loaded: file://")) >= 1;
    })) << install.log().toStdString();
    EXPECT_EQ(install.logCount(QStringLiteral("page process ended (killed")), 2);
    EXPECT_EQ(client->state(), QProcess::Running);
}

} // namespace
