#include "bridge/downloadname.h"

#include <QList>

namespace {

// What the file systems we save to allow for one name, in bytes of its UTF-8 form (255), less
// the ".crdownload" the browser adds to the name while the download runs: a longer name would
// leave the download hanging before its first byte.
constexpr qsizetype MaxNameBytes = 255 - 11;

// Characters that must not reach a file name: controls (C0, DEL, C1) would let a name start a
// new line in a listing, and the bidirectional overrides and isolates would show "gpj.exe" as
// "exe.jpg".
bool IsHiddenControl(char32_t c) {
    return c < 0x20 || (c >= 0x7f && c <= 0x9f) || (c >= 0x202a && c <= 0x202e) ||
           (c >= 0x2066 && c <= 0x2069);
}

qsizetype Utf8Size(const QString& text) {
    return text.toUtf8().size();
}

// The stem cut, at a whole character, until stem, suffix and extension fit in one name.
QString FitName(QString stem, const QString& suffix, const QString& extension) {
    const qsizetype room = MaxNameBytes - Utf8Size(suffix + extension);
    while (Utf8Size(stem) > room) {
        stem.chop(1);
        if (!stem.isEmpty() && stem.back().isHighSurrogate())
            stem.chop(1);
    }
    return stem + suffix + extension;
}

struct NameParts {
    QString stem;
    QString extension;
};

// The extension is what follows the last dot, when it is short enough to keep beside a stem.
NameParts SplitName(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || Utf8Size(name.mid(dot)) > MaxNameBytes / 4)
        return {name, QString()};
    return {name.left(dot), name.mid(dot)};
}

} // namespace

QString SafeDownloadName(const QString& suggested) {
    QString name = suggested;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    name = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    QString plain;
    for (const char32_t c : name.toUcs4())
        if (!IsHiddenControl(c))
            plain += QString::fromUcs4(&c, 1);
    while (plain.startsWith(QLatin1Char('.')) || plain.startsWith(QLatin1Char(' ')))
        plain.remove(0, 1);
    plain = plain.trimmed();
    if (plain.isEmpty())
        return QStringLiteral("download");
    const NameParts parts = SplitName(plain);
    return FitName(parts.stem, QString(), parts.extension);
}

QString UniqueDownloadPath(const QString& folder, const QString& name,
                           const std::function<bool(const QString& path)>& exists) {
    const QString base = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    // The number goes before the extension: "notes (1).txt" still opens as text.
    const NameParts parts = SplitName(name);
    QString path = base + FitName(parts.stem, QString(), parts.extension);
    for (int number = 1; exists(path); ++number)
        path = base + FitName(parts.stem, QStringLiteral(" (%1)").arg(number), parts.extension);
    return path;
}
