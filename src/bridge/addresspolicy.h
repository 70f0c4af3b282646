#pragma once

#include <QString>
#include <QUrl>

// What the browser does with an address it is asked to go to.
enum class AddressUse {
    Load,    // a web address: loaded as any browser would
    Command, // a page command: handed to the bridge, never loaded
    Refuse,  // anything else: never loaded and never handed to the desktop
};

// Pages reach only the web. Local files and inline documents are loaded only when the client
// itself navigates (the local error page, the built-in error text); every other scheme (ssh:,
// smb:, a desktop program's own) is refused, in the top page and in frames alike, so that no
// page can start a program on the student's desktop.
AddressUse ClassifyAddress(const QUrl& url, bool startedByClient);

// The one form in which the client compares and passes on addresses: fully percent-encoded, as
// the page's own location.href has it. A navigation's address and a completed document's
// address then match whatever escapes they hold.
QString BrowserAddress(const QUrl& url);
QString BrowserAddress(const QString& pageAddress);
