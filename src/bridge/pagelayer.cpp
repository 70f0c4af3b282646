#include "bridge/pagelayer.h"

#include "bridge/pagescripts.h"

#include <QFile>
#include <QUrl>

// Q_INIT_RESOURCE must be used outside any namespace.
static void RegisterLayerFiles() {
    Q_INIT_RESOURCE(iecompat);
}

const char PageLayerScheme[] = "parvelo-ie";

namespace {

QString ReadLayerFile(const QString& name) {
    QFile file(QStringLiteral(":/iecompat/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace

QString PlatformOriginText(const QString& platformHost) {
    const QUrl url(platformHost.trimmed());
    const QString scheme = url.scheme().toLower();
    if ((scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
        url.host().isEmpty())
        return {};
    QString host = url.host(QUrl::FullyEncoded).toLower();
    if (host.contains(QLatin1Char(':')))
        host = QLatin1Char('[') + host + QLatin1Char(']');
    const int defaultPort = scheme == QLatin1String("https") ? 443 : 80;
    const int port = url.port(defaultPort);
    QString origin = scheme + QStringLiteral("://") + host;
    if (port != defaultPort)
        origin += QLatin1Char(':') + QString::number(port);
    return origin;
}

QString PageLayerScript(const QString& origin) {
    static const bool registered = (RegisterLayerFiles(), true);
    Q_UNUSED(registered);
    QString files;
    for (const QString& line :
         ReadLayerFile(QStringLiteral("layer.txt")).split(QLatin1Char('\n'))) {
        const QString name = line.trimmed();
        if (!name.isEmpty())
            files += ReadLayerFile(name) + QLatin1Char('\n');
    }
    // Other sites see the engine as it is; a document without an origin of its own (an empty
    // frame) follows its parent's.
    return QStringLiteral("(function () {\n"
                          "if (location.origin !== %1) return;\n"
                          "var ie = { channel: %2 };\n%3})();\n")
        .arg(JsString(origin),
             JsString(QLatin1String(PageLayerScheme) + QStringLiteral("://client/")), files);
}
