#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// A command a page sends through SendClientCommand: "command:" + command + "," + params.
struct ClientCommand {
    QString command;
    QString params;
};

// The address as the bridge compares it: 8-bit text with only its ASCII letters lower-cased.
QByteArray BridgeLower(const QString& url);

// Reads a command address. "command:" may stand anywhere; the command runs up to the first ","
// after it and the rest, further commas included, are the parameters. Both may be empty and are
// delivered lower-cased, untrimmed and undecoded. Without a comma it is no command.
std::optional<ClientCommand> ParseCommandAddress(const QString& url);

// The marker of the time-synchronising page, which never receives the script.
inline constexpr char SyncMarker[] = "syncronizeusertime";

// Whether a navigation start (lower-cased address) may wait for the script: blank frames, script
// addresses and time synchronising would otherwise rob the page being loaded of it.
bool MayBecomePending(const QByteArray& lowerUrl, const QByteArray& syncMarker);
