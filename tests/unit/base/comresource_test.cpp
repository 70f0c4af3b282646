#include "base/comresource.h"
#include "base/programdir.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(ComResource, ExecutableAtTheRoot) {
    const TComResource r(QStringLiteral("/client"));
    EXPECT_EQ(r.RootDir, "/");
    EXPECT_EQ(r.ExeFileName, "client");
    EXPECT_EQ(r.ConfFile, "/conf.ini");
    EXPECT_EQ(r.DataBaseDir, "/DataBase/");
    EXPECT_EQ(r.CourseDbFile, "/course/A.mdb");
}

TEST(ComResource, ExecutableInADirectoryWithBlanks) {
    const TComResource r(QStringLiteral("/opt/Program Files/Client/client"));
    EXPECT_EQ(r.RootDir, "/opt/Program Files/Client/");
    EXPECT_EQ(r.ImageDir, "/opt/Program Files/Client/Resource/image/");
    EXPECT_EQ(r.TmpWordSoundFile, "/opt/Program Files/Client/tmp/TmpWordSound.mp3");
}

TEST(ComResource, EveryFieldJoinsItsBase) {
    const TComResource r(QStringLiteral("/i/parvelo"));
    const std::pair<QString, const char*> fields[] = {
        {r.DataBaseDir, "/i/DataBase/"},
        {r.LogDir, "/i/Log/"},
        {r.TmpDir, "/i/tmp/"},
        {r.ResourceDir, "/i/Resource/"},
        {r.ImageDir, "/i/Resource/image/"},
        {r.SoundDir, "/i/Resource/sound/"},
        {r.ConfFile, "/i/conf.ini"},
        {r.WsDbFile, "/i/DataBase/wsDB.mdb"},
        {r.AllSoundFile, "/i/DataBase/allsound.tch"},
        {r.TmpWordSoundFile, "/i/tmp/TmpWordSound.mp3"},
        {r.WsUpdateIniFile, "/i/DataBase/wsUpdate.ini"},
        {r.TmpWsUpdateIniFile, "/i/tmp/wsUpdate.ini"},
        {r.WsDbRarFile, "/i/tmp/wsDB.rar"},
        {r.AllSoundRarFile, "/i/tmp/AllSound.rar"},
        {r.ResourceSoundRarFile, "/i/tmp/ResourceSound.rar"},
        {r.ResourceImageRarFile, "/i/tmp/ResourceImage.rar"},
        {r.CourseRarFile, "/i/tmp/A.rar"},
        {r.NewWordFile, "/i/tmp/NewWord.txt"},
        {r.CourseDbFile, "/i/course/A.mdb"},
        {r.CourseDir, "/i/course/"},
    };
    for (const auto& [value, expected] : fields)
        EXPECT_EQ(value, QString::fromLatin1(expected));
}

TEST(ComResource, ConstructionCreatesNothing) {
    QTemporaryDir dir;
    const TComResource r(dir.filePath("client"));
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST(ComResource, RootDirEqualsProgramDir) {
    for (const char* exe : {"/client", "/a/b/client", "/a b/c/d"}) {
        const QString path = QString::fromLatin1(exe);
        SetProgramDir(path.left(path.lastIndexOf('/')));
        EXPECT_EQ(TComResource(path).RootDir, ProgramDir()) << exe;
    }
}

} // namespace
