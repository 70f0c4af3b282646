#pragma once

#include "bridge/pagechannel.h"

#include <QWebEngineUrlSchemeHandler>
#include <functional>

class QWebEngineUrlRequestJob;

// Answers the page-compatibility layer's calls, for the platform's documents only: a call from
// any other origin, or one that names a page or file of another site, is refused. Calls that
// take their time (a dialog, a conversion) get the job and answer it later; the job may be gone
// by then (its page went away), so they hold it by a guarded pointer.
class PageChannelHandler : public QWebEngineUrlSchemeHandler {
public:
    PageChannelHandler(std::function<QString()> platformHost, QObject* parent);

    std::function<void(QWebEngineUrlRequestJob* job, const ChannelRequest& request)> openDialog;
    std::function<void(const QUrl& page)> openWindow;
    std::function<void(QWebEngineUrlRequestJob* job, const QUrl& file)> convertMedia;

    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    std::function<QString()> platformHost_;
};

// Answers a channel call with a body the job owns.
void ReplyToChannel(QWebEngineUrlRequestJob* job, const QByteArray& type, const QByteArray& body);
