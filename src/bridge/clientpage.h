#pragma once

#include "bridge/addresspolicy.h"

#include <QWebEnginePage>
#include <functional>

struct PageScripts;

// What the browser does with a navigation; a refused one is noted in the log.
AddressUse ClassifyNavigation(const QUrl& url, QWebEnginePage::NavigationType type);

// The browser page's hooks, and the settings every page of the client has. Each override hands
// the decision to the host; none holds policy.
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
    // A page asks for a new window (a link with a target, window.open from a click): the page
    // to load it in, or none.
    std::function<QWebEnginePage*()> windowFactory;
    // A document of the origin holds Flash content: true loads the player into it.
    std::function<bool(const QUrl& origin)> flashFilter;
    // Sees each console message of the page's scripts first; true when it was the client's.
    std::function<bool(const QString& message)> consoleFilter;

    void triggerAction(WebAction action, bool checked = false) override;

signals:
    void documentCompleted(const QString& url);
    // A new top document has replaced the one before (not sent for a cancelled navigation or
    // a jump within the page).
    void topDocumentCreated();
    // A frame's document was created, of this origin ("null" for a sandboxed frame).
    void frameDocumentCreated(const QString& origin);
    // The student's first input in a frame's document of this origin.
    void frameInput(const QString& origin);

protected:
    QWebEnginePage* createWindow(WebWindowType type) override;
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
