#include "mainwin/navigation.h"

#include "log/logger.h"
#include "mainwin/certificatepage.h"

#include <QDir>
#include <QRandomGenerator>
#include <QUrl>

namespace {

constexpr int CacheBreakerBound = 9999; // exclusive: the largest value is 9998
constexpr int ErrorsBeforeErrorPage = 3;
constexpr int FirstCertificateError = -200;
constexpr int LastCertificateError = -299;

// A local file given either as a plain path or as a file: address.
QString LocalPathOf(const QString& address) {
    if (address.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return QUrl(address).toLocalFile();
    return address;
}

} // namespace

int CacheBreaker() {
    return CacheBreaker(*QRandomGenerator::global());
}

int CacheBreaker(QRandomGenerator& generator) {
    return static_cast<int>(generator.bounded(CacheBreakerBound));
}

QString LogOutAddress(const QString& host, int cacheBreaker) {
    return host + QLatin1String("Home/Logout?") + QString::number(cacheBreaker);
}

QString ReturnAddress(const QString& returnURL, int cacheBreaker) {
    const QLatin1Char separator(returnURL.contains(QLatin1Char('?')) ? '&' : '?');
    return returnURL + separator + QString::number(cacheBreaker);
}

bool IsWebAddress(const QString& address) {
    for (const QChar c : address) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    }
    const QUrl url(address, QUrl::TolerantMode);
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

QString LocalErrorPagePath(const QString& programDir) {
    return programDir + QLatin1String("errorpage.htm");
}

bool IsCertificateError(int statusCode) {
    return statusCode <= FirstCertificateError && statusCode >= LastCertificateError;
}

NavErrorCounter::NavErrorCounter(QString errorPagePath)
    : errorPagePath_(std::move(errorPagePath)) {}

bool NavErrorCounter::IsErrorPage(const QString& url) const {
    const QString failed = LocalPathOf(url);
    return !failed.isEmpty() && QDir::cleanPath(failed) == QDir::cleanPath(errorPagePath_);
}

NavErrorAction NavErrorCounter::OnNavigateError(const QString& url, int statusCode) {
    if (statusCode == NavigateErrorAborted) {
        DebugLog("navigation cancelled, not counted: %s", qUtf8Printable(url));
        return {NavErrorAction::Ignore, QString()};
    }
    if (IsCertificateError(statusCode)) {
        DebugLog("certificate refused (status %d): certificate page", statusCode);
        return {NavErrorAction::ShowCertificatePage, CertificatePageAddress()};
    }
    // Sending the browser back to a page that cannot be loaded would go on for ever.
    if (IsErrorPage(url)) {
        FNavErrorCount = 0;
        DebugLog("local error page failed: %s", qUtf8Printable(url));
        return {NavErrorAction::ShowBuiltInText, QString()};
    }
    ++FNavErrorCount;
    if (FNavErrorCount >= ErrorsBeforeErrorPage) {
        FNavErrorCount = 0;
        DebugLog("navigation error %d times: local error page", ErrorsBeforeErrorPage);
        return {NavErrorAction::ShowErrorPage, errorPagePath_};
    }
    DebugLog("navigation error %d (status %d): retry %s", FNavErrorCount, statusCode,
             qUtf8Printable(url));
    return {NavErrorAction::Retry, url};
}
