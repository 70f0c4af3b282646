#include "bridge/pagepermissions.h"

#include "bridge/permissionpolicy.h"
#include "log/logger.h"

#include <QWebEnginePage>
#include <QtGlobal>

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#include <QWebEnginePermission>
#endif

namespace {

bool Decide(const QUrl& origin, PagePermission permission,
            const std::function<QString()>& platformHost) {
    DebugLog("permission asked: %s by %s", PermissionName(permission),
             qUtf8Printable(origin.toString()));
    const bool grant = GrantsPermission(origin, permission, platformHost());
    DebugLog("permission %s: %s for %s", grant ? "granted" : "refused", PermissionName(permission),
             qUtf8Printable(origin.toString()));
    return grant;
}

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)

PagePermission FromQt(QWebEnginePermission::PermissionType type) {
    using Type = QWebEnginePermission::PermissionType;
    switch (type) {
    case Type::MediaAudioCapture:
        return PagePermission::Microphone;
    case Type::MediaVideoCapture:
        return PagePermission::Camera;
    case Type::MediaAudioVideoCapture:
        return PagePermission::MicrophoneAndCamera;
    case Type::Geolocation:
        return PagePermission::Location;
    case Type::Notifications:
        return PagePermission::Notifications;
    case Type::DesktopVideoCapture:
    case Type::DesktopAudioVideoCapture:
        return PagePermission::ScreenCapture;
    case Type::MouseLock:
        return PagePermission::MouseLock;
    case Type::ClipboardReadWrite:
        return PagePermission::Clipboard;
    default:
        return PagePermission::Other;
    }
}

#else

PagePermission FromQt(QWebEnginePage::Feature feature) {
    switch (feature) {
    case QWebEnginePage::MediaAudioCapture:
        return PagePermission::Microphone;
    case QWebEnginePage::MediaVideoCapture:
        return PagePermission::Camera;
    case QWebEnginePage::MediaAudioVideoCapture:
        return PagePermission::MicrophoneAndCamera;
    case QWebEnginePage::Geolocation:
        return PagePermission::Location;
    case QWebEnginePage::Notifications:
        return PagePermission::Notifications;
    case QWebEnginePage::DesktopVideoCapture:
    case QWebEnginePage::DesktopAudioVideoCapture:
        return PagePermission::ScreenCapture;
    case QWebEnginePage::MouseLock:
        return PagePermission::MouseLock;
    }
    return PagePermission::Other;
}

#endif

} // namespace

void AnswerPermissionRequests(QWebEnginePage* page, const std::function<QString()>& platformHost) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QObject::connect(
        page, &QWebEnginePage::permissionRequested, page,
        [platformHost](QWebEnginePermission permission) {
            if (Decide(permission.origin(), FromQt(permission.permissionType()), platformHost))
                permission.grant();
            else
                permission.deny();
        });
#else
    QObject::connect(page, &QWebEnginePage::featurePermissionRequested, page,
                     [page, platformHost](const QUrl& origin, QWebEnginePage::Feature feature) {
                         const bool grant = Decide(origin, FromQt(feature), platformHost);
                         page->setFeaturePermission(origin, feature,
                                                    grant ? QWebEnginePage::PermissionGrantedByUser
                                                          : QWebEnginePage::PermissionDeniedByUser);
                     });
#endif
}
