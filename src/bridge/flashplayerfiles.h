#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// The client's own scheme for the installed Flash player's files: the platform's pages load
// the player from it, and nothing else is ever read through it.
extern const char FlashPlayerScheme[];

// The script that loads the player into a page: "<scheme>://player/pageplayer.js".
QUrl FlashPlayerLoaderAddress();

// The file of the player's folder that an address of the scheme names: a plain name of a script
// or WebAssembly file in the folder itself. Anything else (another host, a subfolder, "..",
// escapes, a query) names none: empty.
QString FlashPlayerFileName(const QUrl& address);

// The content type the browser needs for the file: WebAssembly is compiled only as such.
QByteArray FlashPlayerFileType(const QString& fileName);
