#include "support/clientinstall.h"

#include "platform/filelock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPoint>
#include <QProcess>
#include <QSize>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString MessageLoop = QStringLiteral("start-up: message loop");
const QString SplashWait = QStringLiteral("start-up: splash wait");
const QString CreatingMainWindow = QStringLiteral("start-up: creating the main window");
const QString OtherInstance = QStringLiteral("private message 0x503 received");
const QString Header = QStringLiteral("\tQuornel log file");
const QString CloseQuestion = QStringLiteral("message box: 确认关闭吗？");

const QSize MainWindow(800, 600);
const QPoint CloseButton(766, 9);
const QSize MessageBox(318, 150);
const QPoint CancelButton(200, 117);

TEST(SingleInstance, SecondStartHandsOverOnceAndEnds) {
    ClientInstallation install(QStringLiteral("handover"));
    install.start();
    ASSERT_TRUE(WaitUntil([&] { return install.logCount(MessageLoop) == 1; }));

    QProcess* second = install.start();
    ASSERT_TRUE(second->waitForFinished(30000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    // The answer comes back only after the window has handled the message.
    EXPECT_EQ(install.logCount(OtherInstance), 1);
    // The second start opened no log of its own.
    EXPECT_EQ(install.logCount(Header), 1);
    EXPECT_EQ(install.runningCount(), 1);
}

TEST(SingleInstance, SecondStartDuringTheSplashWaitHasNoEffect) {
    ClientInstallation install(QStringLiteral("splashwait"));
    install.start();
    ASSERT_TRUE(WaitUntil([&] { return install.logCount(SplashWait) == 1; }));
    QProcess* second = install.start();
    ASSERT_TRUE(second->waitForFinished(30000));
    EXPECT_EQ(second->exitCode(), 0);
    ASSERT_TRUE(WaitUntil([&] { return install.logCount(MessageLoop) == 1; }));
    EXPECT_EQ(install.logCount(OtherInstance), 0);
    EXPECT_EQ(install.runningCount(), 1);
}

TEST(SingleInstance, StartsNormallyAfterTheFirstWasKilled) {
    ClientInstallation install(QStringLiteral("afterkill"));
    QProcess* first = install.start();
    ASSERT_TRUE(WaitUntil([&] { return install.logCount(MessageLoop) == 1; }));
    first->kill();
    ASSERT_TRUE(first->waitForFinished(10000));

    install.start();
    ASSERT_TRUE(WaitUntil([&] { return install.logCount(MessageLoop) == 2; }));
    EXPECT_EQ(install.runningCount(), 1);
    // The new instance owns the hand-over channel the killed one left behind.
    QProcess* third = install.start();
    ASSERT_TRUE(third->waitForFinished(30000));
    EXPECT_EQ(install.logCount(OtherInstance), 1);
}

TEST(SingleInstance, TwentyStartsAtOnceGiveOneClient) {
    ClientInstallation install(QStringLiteral("twenty"));
    std::vector<QProcess*> starts;
    for (int i = 0; i < 20; ++i)
        starts.push_back(install.start());
    // Waiting on a process also lets it report its end.
    const auto finished = [&] {
        int count = 0;
        for (QProcess* start : starts)
            count += start->state() == QProcess::NotRunning || start->waitForFinished(10) ? 1 : 0;
        return count;
    };
    EXPECT_TRUE(WaitUntil([&] { return finished() == 19; }));
    EXPECT_EQ(finished(), 19);
    ASSERT_TRUE(WaitUntil([&] { return install.logCount(MessageLoop) == 1; }));
    EXPECT_EQ(install.runningCount(), 1);
    EXPECT_EQ(install.logCount(Header), 1);
}

// A session without a runtime folder of its own, on a machine where another user already made
// the names in the shared temporary folder: Qt's fallback runtime folder and the lock.
class SharedTemporaryFolder {
public:
    static constexpr uid_t OtherUser = 65534;

    SharedTemporaryFolder() {
        QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                          QFile::ReadOther | QFile::WriteOther | QFile::ExeOther);
        ::chmod(QFile::encodeName(path()).constData(), 01777);
        const passwd* user = ::getpwuid(::geteuid());
        plant(QStringLiteral("runtime-") + QString::fromLocal8Bit(user ? user->pw_name : "root"));
    }
    QString path() const { return dir_.path(); }
    // A folder of another user with this name.
    void plant(const QString& name) {
        const QByteArray folder = QFile::encodeName(dir_.filePath(name));
        ::mkdir(folder.constData(), 0700);
        ::chown(folder.constData(), OtherUser, OtherUser);
    }
    QProcessEnvironment environment(const ClientInstallation& install) const {
        QProcessEnvironment env = install.environment();
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        env.insert(QStringLiteral("TMPDIR"), path());
        return env;
    }

private:
    QTemporaryDir dir_;
};

TEST(SingleInstance, ALockHeldInTheSharedTemporaryFolderDoesNotStopTheStart) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "planting another user's files needs root";
    ClientInstallation install(QStringLiteral("plantedlock"));
    SharedTemporaryFolder shared;
    // Another user holds a lock file of the client's name there.
    FileLock planted(shared.path() + QStringLiteral("/Vorla2.6.lock"));
    ASSERT_TRUE(planted.open());
    ASSERT_TRUE(planted.tryLock());

    install.start(shared.environment(install));
    ASSERT_TRUE(WaitUntil([&] { return install.logCount(MessageLoop) == 1; }))
        << install.log().toStdString();
    const QString own = shared.path() + QStringLiteral("/parvelo-%1").arg(::geteuid());
    EXPECT_EQ(install.logCount(QStringLiteral("runtime folder \"%1\"").arg(own)), 1);
    EXPECT_TRUE(QFileInfo::exists(own + QStringLiteral("/Vorla2.6.socket")));
}

TEST(SingleInstance, WithoutAPrivateRuntimeFolderTheClientStillStarts) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "planting another user's files needs root";
    ClientInstallation install(QStringLiteral("norunfolder"));
    SharedTemporaryFolder shared;
    shared.plant(QStringLiteral("parvelo-%1").arg(::geteuid()));

    install.start(shared.environment(install));
    ASSERT_TRUE(WaitUntil([&] { return install.logCount(MessageLoop) == 1; }))
        << install.log().toStdString();
    EXPECT_EQ(install.logCount(QStringLiteral("runtime folder \"\"")), 1);
    // Nothing of the client's lands in the shared folder: only what was planted there, Qt's
    // runtime folder, and the sound library's own folder (a fresh random name, private to us).
    QStringList entries = QDir(shared.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    entries.removeIf([](const QString& name) { return name.startsWith(QLatin1String("pulse-")); });
    EXPECT_EQ(entries.size(), 2) << entries.join(QLatin1Char(' ')).toStdString();
}

TEST(Shutdown, ConfirmedCloseWritesTheClosingBlockThenEnds) {
    ClientInstallation install(QStringLiteral("close"));
    QProcess* client = install.start();
    ASSERT_TRUE(WaitUntil([&] { return install.logCount(MessageLoop) == 1; }));

    // Cancel keeps the client running.
    ASSERT_TRUE(ClickInCentredWindow(MainWindow, CloseButton));
    ASSERT_TRUE(WaitUntil([&] { return install.logCount(CloseQuestion) == 1; }));
    ASSERT_TRUE(ClickInCentredWindow(MessageBox, CancelButton));
    ASSERT_TRUE(WaitUntil([&] { return install.logCount("close question answered 2") == 1; }));
    EXPECT_EQ(client->state(), QProcess::Running);

    // OK (the Enter key) ends it.
    ASSERT_TRUE(ClickInCentredWindow(MainWindow, CloseButton));
    ASSERT_TRUE(WaitUntil([&] { return install.logCount(CloseQuestion) == 2; }));
    ASSERT_TRUE(RunXdotool({"key", "Return"}));
    ASSERT_TRUE(client->waitForFinished(30000));

    const QString log = install.log();
    const qsizetype closing = log.indexOf(QStringLiteral("shutdown: closing the log"));
    const qsizetype end = log.indexOf(QStringLiteral(" End-Time: "));
    ASSERT_GE(closing, 0);
    ASSERT_GT(end, closing);
    EXPECT_TRUE(log.endsWith(QString(61, QLatin1Char('=')) + QStringLiteral("\r\n")));
    EXPECT_EQ(install.runningCount(), 0);
}

TEST(Splash, PlaysDuringTheWaitAndClosesOnceTheMainWindowExists) {
    ClientInstallation install(QStringLiteral("splash"));
    install.start();
    ASSERT_TRUE(WaitUntil([&] { return install.logCount(MessageLoop) == 1; }));

    const QString log = install.log();
    const qsizetype shown = log.indexOf(QStringLiteral("splash: shown"));
    const qsizetype firstFrame = log.indexOf(QStringLiteral("splash: first frame"));
    const qsizetype creating = log.indexOf(CreatingMainWindow);
    const qsizetype closed = log.indexOf(QStringLiteral("splash: closed"));
    ASSERT_GE(shown, 0);
    EXPECT_LT(shown, creating);
    EXPECT_GT(closed, creating);
    EXPECT_GT(firstFrame, shown);
    EXPECT_LT(firstFrame, closed);
    EXPECT_EQ(install.logCount(QStringLiteral("splash: movie")), 0);
}

} // namespace
