#pragma once

#include <QString>

class QRandomGenerator;

// The cache breaker appended to addresses the client builds: 0 to 9998, drawn anew each time.
int CacheBreaker();
int CacheBreaker(QRandomGenerator& generator);

// host + "Home/Logout?" + cacheBreaker; host is the ReadHost value, ending in "/".
QString LogOutAddress(const QString& host, int cacheBreaker);

// The return address: "&" + cacheBreaker when returnURL contains "?" anywhere (so one ending in
// "?" gets "?&"), otherwise "?" + cacheBreaker. returnURL is used unchanged, not trimmed.
QString ReturnAddress(const QString& returnURL, int cacheBreaker);

// An absolute http or https address without control characters. Only such addresses are
// followed from a page cookie (the return address) or opened as the start page: script,
// file, data and relative addresses are not, and "/" would show the local file system.
bool IsWebAddress(const QString& address);

// The local error page: "errorpage.htm" directly in the program directory (ending in "/").
QString LocalErrorPagePath(const QString& programDir);

// Qt WebEngine's error code for a navigation that was cancelled (net::ERR_ABORTED).
constexpr int NavigateErrorAborted = -3;

// Qt WebEngine's error codes for a certificate it refused: net's certificate range, -200 to
// -299.
bool IsCertificateError(int statusCode);

// What to do about a failed navigation.
struct NavErrorAction {
    enum Kind {
        Ignore,              // a cancelled navigation: not an error, nothing to do
        Retry,               // navigate again to address, the failed one as reported
        ShowErrorPage,       // navigate to address, the local error page
        ShowBuiltInText,     // the local error page itself failed: show a message of our own
        ShowCertificatePage, // the platform's certificate was refused: navigate to address
    };
    Kind kind;
    QString address;
};

// Counts navigation errors: the first and second are retried, the third shows the local error
// page and the count starts again. Successful loads do not reset the count. A refused
// certificate is no network failure: it is neither retried nor counted, and shows the
// certificate page at once.
class NavErrorCounter {
public:
    explicit NavErrorCounter(QString errorPagePath);

    NavErrorAction OnNavigateError(const QString& url, int statusCode);
    // FNavErrorCount: errors since the local error page was last shown.
    int Count() const { return FNavErrorCount; }

private:
    bool IsErrorPage(const QString& url) const;

    QString errorPagePath_;
    int FNavErrorCount = 0;
};
