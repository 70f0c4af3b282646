#include "base/casepath.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The entry of dir whose name equals name but for letter case, or name itself.
QString MatchEntry(const QString& dir, const QString& name) {
    const QStringList entries =
        QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    return name;
}

} // namespace

QString FindFileIgnoringCase(const QString& path) {
    if (path.isEmpty() || QFileInfo::exists(path))
        return path;
    const QFileInfo info(path);
    const QString parent = info.path();
    if (parent == path)
        return path;
    const QString resolvedParent = FindFileIgnoringCase(parent);
    if (!QFileInfo(resolvedParent).isDir())
        return path;
    const QString name = MatchEntry(resolvedParent, info.fileName());
    return resolvedParent == QLatin1String("/") ? QLatin1Char('/') + name
                                                : resolvedParent + QLatin1Char('/') + name;
}
