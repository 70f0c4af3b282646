#include "log/logpaths.h"

#include "base/casepath.h"

#include <QDir>
#include <QFileInfo>

QString ResolveLogFilePath(const QString& configured, const QString& moduleDirectory) {
    QString path = configured;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (QDir::isRelativePath(path))
        path = moduleDirectory + QLatin1Char('/') + path;
    return path;
}

QString ResolveSettingsPath(const QString& path, const QString& moduleDirectory) {
    const QFileInfo found(FindFileIgnoringCase(path));
    if (!path.isEmpty() && found.isFile())
        return found.absoluteFilePath();
    return moduleDirectory + QLatin1Char('/') + QFileInfo(path).fileName();
}

QString LoggerLockPath(const QString& runtimeDirectory, const QString& modulePath) {
    return runtimeDirectory + QStringLiteral("/ZARQ_Logger_Mutex::") +
           QFileInfo(modulePath).fileName();
}
