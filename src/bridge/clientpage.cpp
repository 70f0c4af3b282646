#include "bridge/clientpage.h"

#include "bridge/pagedialogs.h"
#include "bridge/pagescripts.h"
#include "log/logger.h"

#include <QWebEngineLoadingInfo>
#include <QWebEngineSettings>
#include <QWebEngineView>

AddressUse ClassifyNavigation(const QUrl& url, QWebEnginePage::NavigationType type) {
    const AddressUse use = ClassifyAddress(url, type == QWebEnginePage::NavigationTypeTyped);
    if (use == AddressUse::Refuse)
        DebugLog("navigation refused: %s", qUtf8Printable(BrowserAddress(url)));
    return use;
}

ClientPage::ClientPage(QWebEngineProfile* profile, const PageScripts& scripts, QObject* parent)
    : QWebEnginePage(profile, parent), scripts_(scripts) {
    QWebEngineSettings* settings = this->settings();
    // A local file (the error page) must not read the web.
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    // Pop-ups only from a click.
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    // Listening exercises start their recording when the page loads, as they did in the
    // platform's old browser.
    settings->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    // Nothing a page links to is handed to the desktop's programs: addresses of schemes the
    // browser does not load itself never reach the navigation hook, they are dropped.
    settings->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
    // The platform's pages were written on Chinese systems, whose browsers read a page that
    // names no character set as GBK.
    settings->setDefaultTextEncoding(QStringLiteral("GBK"));
    connect(this, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
        if (info.status() != QWebEngineLoadingInfo::LoadStartedStatus)
            navigationUnderWay_ = false;
    });
}

void ClientPage::triggerAction(WebAction action, bool checked) {
    if ((action == Reload || action == ReloadAndBypassCache) && reloadFilter && !reloadFilter())
        return;
    QWebEnginePage::triggerAction(action, checked);
}

// A page script's location.reload() arrives as a redirect to the current address while no
// navigation is under way. A server's redirect back to the same address (a form posted to its
// own page and answered with a redirect) continues a navigation already under way.
bool ClientPage::isScriptReload(const QUrl& url, NavigationType type, bool isMainFrame) const {
    if (!isMainFrame)
        return false;
    if (type == NavigationTypeReload)
        return true;
    return type == NavigationTypeRedirect && !navigationUnderWay_ && url == this->url();
}

QWebEnginePage* ClientPage::createWindow(WebWindowType type) {
    Q_UNUSED(type);
    return windowFactory ? windowFactory() : nullptr;
}

bool ClientPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    if (isScriptReload(url, type, isMainFrame) && reloadFilter && !reloadFilter())
        return false;
    const bool accepted = navigationFilter ? navigationFilter(url, type, isMainFrame) : true;
    if (accepted && isMainFrame)
        navigationUnderWay_ = true;
    return accepted;
}

void ClientPage::javaScriptAlert(const QUrl&, const QString& msg) {
    DebugLogText(QStringLiteral("page alert: %1").arg(msg));
    ShowPageAlert(QWebEngineView::forPage(this), msg);
}

bool ClientPage::javaScriptConfirm(const QUrl&, const QString& msg) {
    const bool ok = AskPageConfirm(QWebEngineView::forPage(this), msg);
    DebugLogText(QStringLiteral("page confirm: %1, answered %2").arg(msg, QString::number(ok)));
    return ok;
}

bool ClientPage::javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                                  const QString& defaultValue, QString* result) {
    if (msg.startsWith(scripts_.clickPrefix())) {
        bool isNumber = false;
        const int token = msg.mid(scripts_.clickPrefix().size()).toInt(&isNumber);
        const bool proceed = !isNumber || !clickHandler || clickHandler(token);
        *result = proceed ? QStringLiteral("1") : QStringLiteral("0");
        return true;
    }
    // The origin is the asking frame's own, as the browser knows it.
    if (msg == scripts_.flashText()) {
        const bool load = flashFilter && flashFilter(securityOrigin);
        *result = load ? QStringLiteral("1") : QStringLiteral("0");
        return true;
    }
    const bool ok = AskPagePrompt(QWebEngineView::forPage(this), msg, defaultValue, result);
    DebugLogText(QStringLiteral("page prompt: %1, answered %2").arg(msg, QString::number(ok)));
    return ok;
}

void ClientPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level,
                                          const QString& message, int lineNumber,
                                          const QString& sourceID) {
    if (message == scripts_.creationText()) {
        emit topDocumentCreated();
        return;
    }
    // Links to other programs never reach the navigation hook: the browser drops them.
    if (message.startsWith(scripts_.refusedPrefix())) {
        DebugLog("navigation refused: %s",
                 qUtf8Printable(message.mid(scripts_.refusedPrefix().size())));
        return;
    }
    if (consoleFilter && consoleFilter(message))
        return;
    if (message.startsWith(scripts_.framePrefix())) {
        emit frameDocumentCreated(message.mid(scripts_.framePrefix().size()));
        return;
    }
    if (message.startsWith(scripts_.inputPrefix())) {
        emit frameInput(message.mid(scripts_.inputPrefix().size()));
        return;
    }
    if (message.startsWith(scripts_.completionPrefix())) {
        emit documentCompleted(message.mid(scripts_.completionPrefix().size()));
        return;
    }
    QWebEnginePage::javaScriptConsoleMessage(level, message, lineNumber, sourceID);
}
