#include "bridge/mediaconverter.h"

#include "bridge/addresspolicy.h"
#include "bridge/asfheader.h"
#include "bridge/pagechannelhandler.h"
#include "log/logger.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <memory>

namespace {

// A listening exercise is minutes of audio: far below these.
constexpr qint64 LargestFile = 64 * 1024 * 1024;
constexpr int FetchTimeoutMs = 60000;
constexpr int ConversionTimeoutMs = 120000;

// The browser's cookies, kept in step, so that the client fetches with the student's session.
class ProfileCookieJar : public QNetworkCookieJar {
public:
    ProfileCookieJar(QWebEngineCookieStore* store, QObject* parent) : QNetworkCookieJar(parent) {
        connect(store, &QWebEngineCookieStore::cookieAdded, this,
                [this](const QNetworkCookie& cookie) { insertCookie(cookie); });
        connect(store, &QWebEngineCookieStore::cookieRemoved, this,
                [this](const QNetworkCookie& cookie) { deleteCookie(cookie); });
        store->loadAllCookies();
    }
};

void Fail(QWebEngineUrlRequestJob* job, const QUrl& file, const char* reason,
          QWebEngineUrlRequestJob::Error error = QWebEngineUrlRequestJob::RequestFailed) {
    DebugLog("media conversion failed: %s: %s", qUtf8Printable(BrowserAddress(file)), reason);
    if (job)
        job->fail(error);
}

} // namespace

TMediaConverter::TMediaConverter(QWebEngineProfile* profile, QObject* parent)
    : QObject(parent), network_(new QNetworkAccessManager(this)) {
    network_->setCookieJar(new ProfileCookieJar(profile->cookieStore(), network_));
    network_->setTransferTimeout(FetchTimeoutMs);
}

void TMediaConverter::Convert(QWebEngineUrlRequestJob* job, const QUrl& file) {
    QNetworkRequest request(file);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::SameOriginRedirectPolicy);
    QNetworkReply* reply = network_->get(request);
    QPointer<QWebEngineUrlRequestJob> waiting(job);
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received > LargestFile)
            reply->abort();
    });
    // The page went away: nobody waits for the file.
    connect(job, &QObject::destroyed, reply, &QNetworkReply::abort);
    connect(reply, &QNetworkReply::finished, this, [this, reply, waiting, file] {
        reply->deleteLater();
        if (!waiting)
            return;
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (reply->error() != QNetworkReply::NoError || status != 200) {
            Fail(waiting, file, qUtf8Printable(reply->errorString()),
                 status == 404 ? QWebEngineUrlRequestJob::UrlNotFound
                               : QWebEngineUrlRequestJob::RequestFailed);
            return;
        }
        convertFetched(waiting, file, reply->readAll());
    });
}

void TMediaConverter::convertFetched(QWebEngineUrlRequestJob* job, const QUrl& file,
                                     const QByteArray& data) {
    const std::optional<quint64> declared = AsfDeclaredFileSize(data);
    if (declared && *declared > static_cast<quint64>(data.size())) {
        Fail(job, file, "the file is cut short");
        return;
    }
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    auto folder = std::make_shared<QTemporaryDir>();
    QFile input(folder->filePath(QStringLiteral("input")));
    if (ffmpeg.isEmpty() || !folder->isValid() || !input.open(QIODevice::WriteOnly) ||
        input.write(data) != data.size()) {
        Fail(job, file, ffmpeg.isEmpty() ? "ffmpeg is missing" : "no room for the file");
        return;
    }
    input.close();
    auto* process = new QProcess(this);
    process->setProgram(ffmpeg);
    process->setArguments(
        {QStringLiteral("-nostdin"), QStringLiteral("-v"), QStringLiteral("error"),
         QStringLiteral("-xerror"),
         // Read only as ASF, from the one file: a playlist format would let a page's file name
         // other files of the machine for ffmpeg to read.
         QStringLiteral("-protocol_whitelist"), QStringLiteral("file"), QStringLiteral("-f"),
         QStringLiteral("asf"), QStringLiteral("-i"), input.fileName(), QStringLiteral("-vn"),
         QStringLiteral("-ac"), QStringLiteral("1"), QStringLiteral("-ar"), QStringLiteral("22050"),
         QStringLiteral("-c:a"), QStringLiteral("pcm_s16le"), QStringLiteral("-f"),
         QStringLiteral("wav"), folder->filePath(QStringLiteral("output.wav"))});
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QPointer<QWebEngineUrlRequestJob> waiting(job);
    auto* timeout = new QTimer(process);
    timeout->setSingleShot(true);
    connect(timeout, &QTimer::timeout, process, &QProcess::kill);
    connect(job, &QObject::destroyed, process, &QProcess::kill);
    connect(process, &QProcess::finished, this,
            [process, folder, waiting, file](int exitCode, QProcess::ExitStatus status) {
                process->deleteLater();
                if (!waiting)
                    return;
                QFile output(folder->filePath(QStringLiteral("output.wav")));
                constexpr qint64 WaveHeader = 44;
                if (status != QProcess::NormalExit || exitCode != 0 ||
                    !output.open(QIODevice::ReadOnly) || output.size() <= WaveHeader) {
                    Fail(waiting, file, "the file cannot be converted");
                    return;
                }
                DebugLog("media converted: %s", qUtf8Printable(BrowserAddress(file)));
                ReplyToChannel(waiting, "audio/wav", output.readAll());
            });
    connect(process, &QProcess::errorOccurred, this,
            [process, waiting, file](QProcess::ProcessError error) {
                if (error != QProcess::FailedToStart)
                    return;
                process->deleteLater();
                Fail(waiting, file, "ffmpeg did not start");
            });
    process->start();
    timeout->start(ConversionTimeoutMs);
}
