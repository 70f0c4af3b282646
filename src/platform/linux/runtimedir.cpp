#include "platform/runtimedir.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Empty when path is a real folder of the user's own with mode 0700.
QString PrivateFolderProblem(const QString& path) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    if (!S_ISDIR(info.st_mode))
        return QStringLiteral("not a folder");
    if (info.st_uid != ::geteuid())
        return QStringLiteral("owned by user %1").arg(info.st_uid);
    if ((info.st_mode & 07777) != 0700)
        return QStringLiteral("mode %1, not 0700")
            .arg(info.st_mode & 07777, 4, 8, QLatin1Char('0'));
    return QString();
}

} // namespace

RuntimeFolder FindRuntimeFolder(const QString& sessionFolder, const QString& tempFolder) {
    QString sessionProblem = QStringLiteral("XDG_RUNTIME_DIR not set");
    if (!sessionFolder.isEmpty()) {
        sessionProblem = PrivateFolderProblem(sessionFolder);
        if (sessionProblem.isEmpty())
            return {QDir::cleanPath(sessionFolder), QStringLiteral("XDG_RUNTIME_DIR")};
        sessionProblem =
            QStringLiteral("XDG_RUNTIME_DIR %1: %2").arg(sessionFolder, sessionProblem);
    }
    const QString own =
        QDir::cleanPath(tempFolder + QStringLiteral("/parvelo-%1").arg(::geteuid()));
    // An existing folder is checked like a new one: another user may have made it first.
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    const QString ownProblem = PrivateFolderProblem(own);
    if (ownProblem.isEmpty())
        return {own, sessionProblem};
    return {QString(), QStringLiteral("%1; %2: %3").arg(sessionProblem, own, ownProblem)};
}

RuntimeFolder FindRuntimeFolder() {
    return FindRuntimeFolder(qEnvironmentVariable("XDG_RUNTIME_DIR"), QDir::tempPath());
}

QString RuntimeDirectory() {
    return FindRuntimeFolder().path;
}
