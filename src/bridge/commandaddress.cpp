#include "bridge/commandaddress.h"

QByteArray BridgeLower(const QString& url) {
    QByteArray bytes = url.toUtf8();
    for (char& c : bytes) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + ('a' - 'A'));
    }
    return bytes;
}

std::optional<ClientCommand> ParseCommandAddress(const QString& url) {
    static const QByteArray prefix("command:");
    const QByteArray lower = BridgeLower(url);
    const qsizetype start = lower.indexOf(prefix);
    if (start < 0)
        return std::nullopt;
    const qsizetype begin = start + prefix.size();
    const qsizetype comma = lower.indexOf(',', begin);
    if (comma < 0)
        return std::nullopt;
    return ClientCommand{QString::fromUtf8(lower.mid(begin, comma - begin)),
                         QString::fromUtf8(lower.mid(comma + 1))};
}

bool MayBecomePending(const QByteArray& lowerUrl, const QByteArray& syncMarker) {
    return !lowerUrl.contains("about:blank") && !lowerUrl.contains("javascript:") &&
           !lowerUrl.contains(syncMarker);
}
