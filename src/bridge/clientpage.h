#pragma once

#include <QWebEnginePage>
#include <functional>

class PageScripts;

// The browser page's hooks. Each override hands the decision to the host; none holds policy.
class ClientPage : public QWebEnginePage {
    Q_OBJECT
public:
    ClientPage(QWebEngineProfile* profile, const PageScripts& scripts, QObject* parent);

    // Answers whether a navigation may start.
    std::function<bool(const QUrl& url, NavigationType type, bool isMainFrame)> navigationFilter;
    // Asked before every reload; true lets it happen.
    std::function<bool()> reloadFilter;
    // A click on a taken-over element: the answer lets its default action go on.
    std::function<bool(int token)> clickHandler;

    void triggerAction(WebAction action, bool checked = false) override;

signals:
    void documentCompleted(const QString& url);
    // A new top document has replaced the one before (not sent for a cancelled navigation or
    // a jump within the page).
    void topDocumentCreated();
    // A link to another program was clicked; the browser hands such addresses to no one.
    void externalLinkClicked(const QString& url);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                          const QString& defaultValue, QString* result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceID) override;

private:
    bool isScriptReload(const QUrl& url, NavigationType type, bool isMainFrame) const;

    const PageScripts& scripts_;
    // A top-page navigation was let go and has not ended yet.
    bool navigationUnderWay_ = false;
};
