#include "bridge/secureorigin.h"

#include "log/logger.h"

#include <QUrl>

namespace {

const char FlagsVariable[] = "QTWEBENGINE_CHROMIUM_FLAGS";

} // namespace

QString SecureOriginSwitch(const QString& platformHost) {
    const QUrl host(platformHost.trimmed());
    if (host.scheme().compare(QLatin1String("http"), Qt::CaseInsensitive) != 0 ||
        host.host().isEmpty())
        return {};
    const QUrl origin = host.adjusted(QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery |
                                      QUrl::RemoveFragment);
    return QStringLiteral("--unsafely-treat-insecure-origin-as-secure=") +
           origin.toString(QUrl::FullyEncoded);
}

QByteArray WithBrowserSwitch(const QByteArray& flags, const QString& browserSwitch) {
    if (browserSwitch.isEmpty())
        return flags;
    const QByteArray trimmed = flags.trimmed();
    return trimmed.isEmpty() ? browserSwitch.toUtf8() : trimmed + ' ' + browserSwitch.toUtf8();
}

void TreatPlatformOriginAsSecure(const QString& platformHost) {
    const QString browserSwitch = SecureOriginSwitch(platformHost);
    if (browserSwitch.isEmpty())
        return;
    // The variable, rather than the program's arguments: the browser ignores the arguments
    // whenever the variable is set.
    qputenv(FlagsVariable, WithBrowserSwitch(qgetenv(FlagsVariable), browserSwitch));
    DebugLog("start-up: browser switch %s", qUtf8Printable(browserSwitch));
}
