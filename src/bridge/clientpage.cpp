#include "bridge/clientpage.h"

#include "bridge/pagescripts.h"
#include "log/logger.h"

#include <QMessageBox>
#include <QWebEngineView>

namespace {
// Page dialogs carry the client's caption; their icons stay as they are.
const QString DialogCaption = QStringLiteral("温馨提示");
} // namespace

ClientPage::ClientPage(QWebEngineProfile* profile, const PageScripts& scripts, QObject* parent)
    : QWebEnginePage(profile, parent), scripts_(scripts) {}

void ClientPage::triggerAction(WebAction action, bool checked) {
    if ((action == Reload || action == ReloadAndBypassCache) && reloadFilter && !reloadFilter())
        return;
    QWebEnginePage::triggerAction(action, checked);
}

bool ClientPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    if (type == NavigationTypeReload && isMainFrame && reloadFilter && !reloadFilter())
        return false;
    // A page script's location.reload() arrives as a redirect to the current address.
    if (type == NavigationTypeRedirect && isMainFrame && url == this->url() && reloadFilter &&
        !reloadFilter())
        return false;
    return navigationFilter ? navigationFilter(url, type, isMainFrame) : true;
}

void ClientPage::javaScriptAlert(const QUrl&, const QString& msg) {
    DebugLog("page alert: %s", qUtf8Printable(msg));
    QMessageBox::warning(QWebEngineView::forPage(this), DialogCaption, msg);
}

bool ClientPage::javaScriptConfirm(const QUrl&, const QString& msg) {
    const bool ok = QMessageBox::question(QWebEngineView::forPage(this), DialogCaption, msg,
                                          QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
    DebugLog("page confirm: %s, answered %d", qUtf8Printable(msg), ok);
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
    return QWebEnginePage::javaScriptPrompt(securityOrigin, msg, defaultValue, result);
}

void ClientPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level,
                                          const QString& message, int lineNumber,
                                          const QString& sourceID) {
    if (message.startsWith(scripts_.completionPrefix())) {
        emit documentCompleted(message.mid(scripts_.completionPrefix().size()));
        return;
    }
    QWebEnginePage::javaScriptConsoleMessage(level, message, lineNumber, sourceID);
}
