#include "bridge/addresspolicy.h"

AddressUse ClassifyAddress(const QUrl& url, bool startedByClient) {
    const QString scheme = url.scheme().toLower();
    // blob: addresses hold what the page itself made (a generated file, a worker); about:
    // documents are the browser's own empty ones.
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
        scheme == QLatin1String("blob") || scheme == QLatin1String("about"))
        return AddressUse::Load;
    if (scheme == QLatin1String("command"))
        return AddressUse::Command;
    if (startedByClient && (scheme == QLatin1String("file") || scheme == QLatin1String("data")))
        return AddressUse::Load;
    return AddressUse::Refuse;
}

QString BrowserAddress(const QUrl& url) {
    return url.toString(QUrl::FullyEncoded);
}

QString BrowserAddress(const QString& pageAddress) {
    const QUrl url(pageAddress);
    // Text that is no address at all ("about:blank" is one) is passed on as it came.
    return url.isValid() ? BrowserAddress(url) : pageAddress;
}
