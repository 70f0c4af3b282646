#pragma once

#include <QString>
#include <QUrl>

// What a page may ask the browser for.
enum class PagePermission {
    Microphone,
    Camera,
    MicrophoneAndCamera,
    Location,
    Notifications,
    ScreenCapture,
    MouseLock,
    Clipboard,
    Other,
};

// Whether the address is on the platform's own site: the same scheme, host and port as the
// settings' host value.
bool IsPlatformOrigin(const QUrl& address, const QString& platformHost);

// The platform's own pages get the microphone (the student installed the client for them);
// nothing else is given to any page.
bool GrantsPermission(const QUrl& origin, PagePermission permission, const QString& platformHost);

// Documents of the platform's own site that hold Flash content get the client's Flash player;
// no other site's documents do, frames of other sites inside the platform's pages included.
bool GetsFlashPlayer(const QUrl& origin, const QString& platformHost);

// The permission's name in DBG lines.
const char* PermissionName(PagePermission permission);
