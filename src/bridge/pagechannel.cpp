#include "bridge/pagechannel.h"

#include "bridge/pagelayer.h"

#include <QUrlQuery>

namespace {

QUrl WebAddress(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return {};
    return url;
}

} // namespace

ChannelRequest ParseChannelRequest(const QUrl& address) {
    ChannelRequest request;
    if (address.scheme() != QLatin1String(PageLayerScheme) ||
        address.host() != QLatin1String("client") || address.port() != -1 ||
        !address.userInfo().isEmpty())
        return request;
    const QUrlQuery query(address);
    const auto value = [&](const char* name) {
        return query.queryItemValue(QLatin1String(name), QUrl::FullyDecoded);
    };
    const QString call = address.path();
    if (call == QLatin1String("/dialog") || call == QLatin1String("/modeless")) {
        request.target = WebAddress(value("url"));
        if (request.target.isEmpty())
            return request;
        request.arguments = value("args");
        request.features = value("features");
        request.call =
            call == QLatin1String("/dialog") ? ChannelCall::Dialog : ChannelCall::Modeless;
    } else if (call == QLatin1String("/clipboard")) {
        request.call = query.hasQueryItem(QStringLiteral("set")) ? ChannelCall::WriteClipboard
                                                                 : ChannelCall::ReadClipboard;
        request.text = value("set");
    } else if (call == QLatin1String("/refused-class")) {
        request.call = ChannelCall::RefusedClass;
        request.text = value("progid");
    } else if (call == QLatin1String("/media")) {
        request.target = WebAddress(value("src"));
        if (!request.target.isEmpty())
            request.call = ChannelCall::Media;
    }
    return request;
}
