#include "bridge/flashplayerfiles.h"

#include <QRegularExpression>

const char FlashPlayerScheme[] = "parvelo-flash";

namespace {

const char PlayerHost[] = "player";

} // namespace

QUrl FlashPlayerLoaderAddress() {
    return QUrl(QStringLiteral("%1://%2/pageplayer.js")
                    .arg(QLatin1String(FlashPlayerScheme), QLatin1String(PlayerHost)));
}

QString FlashPlayerFileName(const QUrl& address) {
    static const QRegularExpression plainName(
        QStringLiteral("^/([A-Za-z0-9_-][A-Za-z0-9._-]*\\.(?:js|wasm))$"));
    if (address.scheme() != QLatin1String(FlashPlayerScheme) ||
        address.host() != QLatin1String(PlayerHost) || address.port() != -1 ||
        !address.userInfo().isEmpty() || address.hasQuery() || address.hasFragment())
        return {};
    // The encoded form: an escape (%2F, %2e) is no plain name.
    const QRegularExpressionMatch match = plainName.match(address.path(QUrl::FullyEncoded));
    return match.hasMatch() ? match.captured(1) : QString();
}

QByteArray FlashPlayerFileType(const QString& fileName) {
    if (fileName.endsWith(QLatin1String(".wasm")))
        return QByteArrayLiteral("application/wasm");
    return QByteArrayLiteral("text/javascript");
}
