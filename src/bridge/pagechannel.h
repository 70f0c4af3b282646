#pragma once

#include <QString>
#include <QUrl>

// What the page-compatibility layer asks the client for, through addresses of the client's own
// scheme ("parvelo-ie://client/<call>?<parameters>").
enum class ChannelCall {
    Dialog,         // a modal dialog: url, args (JSON text), features
    Modeless,       // an ordinary window: url
    ReadClipboard,  // the clipboard's text
    WriteClipboard, // set: the clipboard's new text
    RefusedClass,   // progid: a class a page script could not create
    Media,          // src: a media file of the platform, converted to one the engine plays
    Unknown,
};

struct ChannelRequest {
    ChannelCall call = ChannelCall::Unknown;
    // The page a dialog or window opens, or the media file: always a web address.
    QUrl target;
    QString arguments;
    QString features;
    QString text;
};

// Reads a channel address; anything malformed (another host, a missing or non-web target) is
// Unknown.
ChannelRequest ParseChannelRequest(const QUrl& address);
