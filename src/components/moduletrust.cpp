#include "components/moduletrust.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString EntryProblem(const QString& path, bool folder) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return QStringLiteral("%1 cannot be read").arg(path);
    if (folder ? !S_ISDIR(info.st_mode) : !S_ISREG(info.st_mode))
        return QStringLiteral("%1 is not a %2").arg(path, folder ? "folder" : "file");
    if (info.st_uid != ::geteuid() && info.st_uid != 0)
        return QStringLiteral("%1 belongs to user %2").arg(path).arg(info.st_uid);
    const bool othersMayWrite = (info.st_mode & (S_IWGRP | S_IWOTH)) != 0;
    if (othersMayWrite && !(folder && (info.st_mode & S_ISVTX)))
        return QStringLiteral("%1 may be changed by others").arg(path);
    return QString();
}

} // namespace

QString ModuleTrustProblem(const QString& path, QString* checkedFile) {
    // The file the path leads to, links followed: that is what would be loaded.
    const QString file = QFileInfo(path).canonicalFilePath();
    if (file.isEmpty())
        return QStringLiteral("%1 does not exist").arg(path);
    QString problem = EntryProblem(file, false);
    for (QString folder = QFileInfo(file).path(); problem.isEmpty();
         folder = QFileInfo(folder).path()) {
        problem = EntryProblem(folder, true);
        if (folder == QDir::rootPath())
            break;
    }
    if (checkedFile)
        *checkedFile = problem.isEmpty() ? file : QString();
    return problem;
}
