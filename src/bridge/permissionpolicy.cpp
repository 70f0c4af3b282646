#include "bridge/permissionpolicy.h"

namespace {

int PortOf(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.port(scheme == QLatin1String("https") ? 443 : 80);
}

bool IsWebAddress(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

} // namespace

bool IsPlatformOrigin(const QUrl& address, const QString& platformHost) {
    const QUrl platform(platformHost.trimmed());
    if (!IsWebAddress(address) || !IsWebAddress(platform) || platform.host().isEmpty())
        return false;
    return address.scheme().compare(platform.scheme(), Qt::CaseInsensitive) == 0 &&
           address.host().compare(platform.host(), Qt::CaseInsensitive) == 0 &&
           PortOf(address) == PortOf(platform);
}

bool GrantsPermission(const QUrl& origin, PagePermission permission, const QString& platformHost) {
    return permission == PagePermission::Microphone && IsPlatformOrigin(origin, platformHost);
}

bool GetsFlashPlayer(const QUrl& origin, const QString& platformHost) {
    return IsPlatformOrigin(origin, platformHost);
}

const char* PermissionName(PagePermission permission) {
    switch (permission) {
    case PagePermission::Microphone:
        return "microphone";
    case PagePermission::Camera:
        return "camera";
    case PagePermission::MicrophoneAndCamera:
        return "microphone and camera";
    case PagePermission::Location:
        return "location";
    case PagePermission::Notifications:
        return "notifications";
    case PagePermission::ScreenCapture:
        return "screen capture";
    case PagePermission::MouseLock:
        return "mouse lock";
    case PagePermission::Clipboard:
        return "clipboard";
    case PagePermission::Other:
        break;
    }
    return "other";
}
