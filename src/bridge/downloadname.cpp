#include "bridge/downloadname.h"

QString SafeDownloadName(const QString& suggested) {
    QString name = suggested;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    name = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    QString plain;
    for (const QChar c : name)
        if (c.unicode() >= 0x20 && c.unicode() != 0x7f)
            plain += c;
    while (plain.startsWith(QLatin1Char('.')) || plain.startsWith(QLatin1Char(' ')))
        plain.remove(0, 1);
    plain = plain.trimmed();
    return plain.isEmpty() ? QStringLiteral("download") : plain;
}

QString UniqueDownloadPath(const QString& folder, const QString& name,
                           const std::function<bool(const QString& path)>& exists) {
    const QString base = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    // The number goes before the extension: "notes (1).txt" still opens as text.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? name.left(dot) : name;
    const QString extension = dot > 0 ? name.mid(dot) : QString();
    QString path = base + name;
    for (int number = 1; exists(path); ++number)
        path = base + QStringLiteral("%1 (%2)%3").arg(stem).arg(number).arg(extension);
    return path;
}
