#include "bridge/flashschemehandler.h"

#include "bridge/flashplayerfiles.h"
#include "bridge/permissionpolicy.h"
#include "log/logger.h"

#include <QFile>
#include <QFileInfo>
#include <QWebEngineUrlRequestJob>

FlashSchemeHandler::FlashSchemeHandler(const QString& folder, std::function<QString()> platformHost,
                                       QObject* parent)
    : QWebEngineUrlSchemeHandler(parent), folder_(folder), platformHost_(std::move(platformHost)) {}

void FlashSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
    const QUrl address = job->requestUrl();
    if (job->requestMethod() != "GET" || !GetsFlashPlayer(job->initiator(), platformHost_())) {
        DebugLog("flash player file refused: %s for %s", qUtf8Printable(address.toString()),
                 qUtf8Printable(job->initiator().toString()));
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    const QString name = FlashPlayerFileName(address);
    // The device is read on the browser's own thread until the job ends: the job owns it.
    auto* file = new QFile(folder_ + name, job);
    if (name.isEmpty() || !QFileInfo(file->fileName()).isFile() ||
        !file->open(QIODevice::ReadOnly)) {
        DebugLog("flash player file missing: %s", qUtf8Printable(address.toString()));
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    job->reply(FlashPlayerFileType(name), file);
}
