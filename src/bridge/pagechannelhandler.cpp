#include "bridge/pagechannelhandler.h"

#include "bridge/addresspolicy.h"
#include "bridge/permissionpolicy.h"
#include "log/logger.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QWebEngineUrlRequestJob>

void ReplyToChannel(QWebEngineUrlRequestJob* job, const QByteArray& type, const QByteArray& body) {
    auto* buffer = new QBuffer(job);
    buffer->setData(body);
    buffer->open(QIODevice::ReadOnly);
    job->reply(type, buffer);
}

PageChannelHandler::PageChannelHandler(std::function<QString()> platformHost, QObject* parent)
    : QWebEngineUrlSchemeHandler(parent), platformHost_(std::move(platformHost)) {}

void PageChannelHandler::requestStarted(QWebEngineUrlRequestJob* job) {
    const QString host = platformHost_();
    const ChannelRequest request = ParseChannelRequest(job->requestUrl());
    const bool fromPlatform = IsPlatformOrigin(job->initiator(), host);
    const bool targetAllowed = request.target.isEmpty() || IsPlatformOrigin(request.target, host);
    if (job->requestMethod() != "GET" || !fromPlatform || !targetAllowed ||
        request.call == ChannelCall::Unknown) {
        DebugLog("page channel refused: %s for %s",
                 qUtf8Printable(BrowserAddress(job->requestUrl())),
                 qUtf8Printable(job->initiator().toString()));
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    switch (request.call) {
    case ChannelCall::Dialog:
        if (openDialog)
            openDialog(job, request);
        else
            ReplyToChannel(job, "application/json", "{}");
        return;
    case ChannelCall::Modeless:
        if (openWindow)
            openWindow(request.target);
        ReplyToChannel(job, "text/plain", "");
        return;
    case ChannelCall::ReadClipboard:
        ReplyToChannel(job, "text/plain;charset=utf-8",
                       QGuiApplication::clipboard()->text().toUtf8());
        return;
    case ChannelCall::WriteClipboard:
        QGuiApplication::clipboard()->setText(request.text);
        ReplyToChannel(job, "text/plain", "1");
        return;
    case ChannelCall::RefusedClass:
        DebugLog("page object refused: the class %s cannot be created",
                 qUtf8Printable(request.text));
        ReplyToChannel(job, "text/plain", "");
        return;
    case ChannelCall::Media:
        if (convertMedia)
            convertMedia(job, request.target);
        else
            job->fail(QWebEngineUrlRequestJob::RequestFailed);
        return;
    case ChannelCall::Unknown:
        break;
    }
}
