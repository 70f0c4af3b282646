#pragma once

#include <QByteArray>
#include <QString>

// The browser counts a plain-http site as no secure context unless it is this machine, and
// hides navigator.mediaDevices from it: the platform's recording pages then cannot ask for the
// microphone. The browser's switch for one such site: its origin counts as secure.

// The switch for the platform (the settings' host value); empty when it needs none (https) or
// is no web address.
QString SecureOriginSwitch(const QString& platformHost);

// The browser's flags (QTWEBENGINE_CHROMIUM_FLAGS' value) with the switch added; the flags
// unchanged for an empty switch.
QByteArray WithBrowserSwitch(const QByteArray& flags, const QString& browserSwitch);

// Adds the platform's switch to the browser's flags. The browser reads them once, when the
// first page or profile is made: this must come before.
void TreatPlatformOriginAsSecure(const QString& platformHost);
