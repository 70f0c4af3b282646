#include "base/comresource.h"

#include "platform/processinfo.h"

namespace {

QString Dir(const QString& base, const char* name) {
    return base + QLatin1String(name) + QLatin1Char('/');
}

QString File(const QString& base, const char* name) {
    return base + QLatin1String(name);
}

TComResource*& Instance() {
    static TComResource* resource = nullptr;
    return resource;
}

} // namespace

TComResource::TComResource() : TComResource(ExecutablePath()) {}

TComResource::TComResource(const QString& executablePath) {
    const qsizetype slash = executablePath.lastIndexOf(QLatin1Char('/'));
    RootDir = slash < 0 ? QString() : executablePath.left(slash);
    ExeFileName = executablePath.mid(slash + 1);
    while (RootDir.endsWith(QLatin1Char('/')))
        RootDir.chop(1);
    RootDir += QLatin1Char('/');

    DataBaseDir = Dir(RootDir, "DataBase");
    LogDir = Dir(RootDir, "Log");
    TmpDir = Dir(RootDir, "tmp");
    ResourceDir = Dir(RootDir, "Resource");
    ImageDir = Dir(ResourceDir, "image");
    SoundDir = Dir(ResourceDir, "sound");
    ConfFile = File(RootDir, "conf.ini");
    WsDbFile = File(DataBaseDir, "wsDB.mdb");
    AllSoundFile = File(DataBaseDir, "allsound.tch");
    TmpWordSoundFile = File(TmpDir, "TmpWordSound.mp3");
    WsUpdateIniFile = File(DataBaseDir, "wsUpdate.ini");
    TmpWsUpdateIniFile = File(TmpDir, "wsUpdate.ini");
    WsDbRarFile = File(TmpDir, "wsDB.rar");
    AllSoundRarFile = File(TmpDir, "AllSound.rar");
    ResourceSoundRarFile = File(TmpDir, "ResourceSound.rar");
    ResourceImageRarFile = File(TmpDir, "ResourceImage.rar");
    CourseRarFile = File(TmpDir, "A.rar");
    NewWordFile = File(TmpDir, "NewWord.txt");
    CourseDir = Dir(RootDir, "course");
    CourseDbFile = File(CourseDir, "A.mdb");
}

TComResource* ComResource() {
    return Instance();
}

void SetComResource(TComResource* resource) {
    Instance() = resource;
}
