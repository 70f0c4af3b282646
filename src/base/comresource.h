#pragma once

#include <QString>

// The installation object: the paths of the installation, joined once from the executable's
// own path. It only joins texts; it neither checks nor creates anything.
class TComResource {
public:
    // From the running executable.
    TComResource();
    explicit TComResource(const QString& executablePath);

    QString RootDir;
    QString ExeFileName;
    QString DataBaseDir;
    QString LogDir;
    QString TmpDir;
    QString ResourceDir;
    QString ImageDir;
    QString SoundDir;
    QString ConfFile;
    QString WsDbFile;
    QString AllSoundFile;
    QString TmpWordSoundFile;
    QString WsUpdateIniFile;
    QString TmpWsUpdateIniFile;
    QString WsDbRarFile;
    QString AllSoundRarFile;
    QString ResourceSoundRarFile;
    QString ResourceImageRarFile;
    QString CourseRarFile;
    QString NewWordFile;
    QString CourseDbFile;
    QString CourseDir;
};

// The one installation object of the running program; null before start-up creates it.
TComResource* ComResource();
void SetComResource(TComResource* resource);
