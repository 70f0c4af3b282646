#include "platform/runtimedir.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// Files planted by another local user; root can make them with chown.
constexpr uid_t OtherUser = 65534;

bool Mkdir(const QString& path, mode_t mode) {
    return ::mkdir(QFile::encodeName(path).constData(), 0700) == 0 &&
           ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

bool GiveAway(const QString& path) {
    return ::lchown(QFile::encodeName(path).constData(), OtherUser, OtherUser) == 0;
}

bool Link(const QString& target, const QString& path) {
    return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()) ==
           0;
}

mode_t ModeOf(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

class RuntimeFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        shared = root.filePath("tmp");
        // Stands for /tmp: everyone may create names in it.
        ASSERT_TRUE(Mkdir(shared, 01777));
        own = shared + QStringLiteral("/parvelo-%1").arg(::geteuid());
        ASSERT_TRUE(Mkdir(root.filePath("private"), 0700));
    }

    QTemporaryDir root;
    QString shared;
    QString own;
};

TEST_F(RuntimeFolderTest, SessionFolderIsUsedOnlyWhenPrivate) {
    const bool root_ = ::geteuid() == 0;
    const struct {
        const char* name;
        std::function<bool(const QString&)> plant; // makes the session folder at the path
        bool used;
        bool needsRoot;
    } cases[] = {
        {"private folder", [](const QString& p) { return Mkdir(p, 0700); }, true, false},
        {"open to others", [](const QString& p) { return Mkdir(p, 0755); }, false, false},
        {"open to the group", [](const QString& p) { return Mkdir(p, 0770); }, false, false},
        {"another user's", [](const QString& p) { return Mkdir(p, 0700) && GiveAway(p); }, false,
         true},
        {"a link to a private folder",
         [this](const QString& p) { return Link(root.filePath("private"), p); }, false, false},
        {"missing", [](const QString&) { return true; }, false, false},
    };
    int n = 0;
    for (const auto& c : cases) {
        if (c.needsRoot && !root_)
            continue;
        const QString session = root.filePath(QStringLiteral("session%1").arg(n++));
        ASSERT_TRUE(c.plant(session)) << c.name;
        const RuntimeFolder found = FindRuntimeFolder(session, shared);
        EXPECT_EQ(found.path, c.used ? session : own) << c.name;
        EXPECT_FALSE(found.note.isEmpty()) << c.name;
    }
}

TEST_F(RuntimeFolderTest, OwnFolderInTheSharedFolderIsMadePrivate) {
    const RuntimeFolder found = FindRuntimeFolder(QString(), shared);
    EXPECT_EQ(found.path, own);
    EXPECT_EQ(ModeOf(own), 0700u);
    // The second start finds it as the first left it.
    EXPECT_EQ(FindRuntimeFolder(QString(), shared).path, own);
}

TEST_F(RuntimeFolderTest, OwnFolderPlantedByOthersIsRefused) {
    const bool root_ = ::geteuid() == 0;
    const struct {
        const char* name;
        std::function<bool()> plant;
        bool needsRoot;
    } cases[] = {
        {"made by another user", [this] { return Mkdir(own, 0700) && GiveAway(own); }, true},
        {"a link made by another user",
         [this] { return Link(root.filePath("private"), own) && GiveAway(own); }, true},
        {"a link to a private folder", [this] { return Link(root.filePath("private"), own); },
         false},
        {"a file", [this] { return QFile(own).open(QIODevice::WriteOnly); }, false},
        {"open to everyone", [this] { return Mkdir(own, 0777); }, false},
    };
    for (const auto& c : cases) {
        if (c.needsRoot && !root_)
            continue;
        ASSERT_TRUE(c.plant()) << c.name;
        const RuntimeFolder found = FindRuntimeFolder(QString(), shared);
        EXPECT_TRUE(found.path.isEmpty()) << c.name << ": " << found.path.toStdString();
        EXPECT_TRUE(found.note.contains(own)) << c.name << ": " << found.note.toStdString();
        ASSERT_TRUE(QFile::remove(own) || QDir(own).removeRecursively()) << c.name;
    }
}

// The folder Qt would fall back to when the session has none, already taken by another user:
// the locks must still never land in the shared folder itself.
TEST_F(RuntimeFolderTest, NeverTheSharedFolderItself) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "planting another user's folder needs root";
    const passwd* user = ::getpwuid(::geteuid());
    ASSERT_NE(user, nullptr);
    const QString qtFallback =
        shared + QStringLiteral("/runtime-") + QString::fromLocal8Bit(user->pw_name);
    ASSERT_TRUE(Mkdir(qtFallback, 0700) && GiveAway(qtFallback));

    const QByteArray previousRuntime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray previousTemp = qgetenv("TMPDIR");
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", QFile::encodeName(shared));
    const QString found = RuntimeDirectory();
    for (const auto& [name, value] :
         {std::pair{"XDG_RUNTIME_DIR", previousRuntime}, std::pair{"TMPDIR", previousTemp}}) {
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

    EXPECT_NE(QDir::cleanPath(found), QDir::cleanPath(shared));
    EXPECT_EQ(found, own);
}

} // namespace
