#pragma once

#include "bridge/browserhost.h"
#include "bridge/eventobject.h"
#include "bridge/pagescripts.h"

#include <QHash>
#include <QObject>
#include <QWebEnginePage>

class ClientPage;
class QWebEngineProfile;
class QWebEngineView;
class QWidget;

// The embedded browser on Qt WebEngine, filling its parent panel.
class TWebEngineWB : public QObject, public TEmbeddedWB {
    Q_OBJECT
public:
    explicit TWebEngineWB(QWidget* panel);

    void Navigate(const QString& url) override;
    QString LocationURL() const override;
    void ReadTopDocument(std::function<void(const TopDocument&)> done) override;
    void InjectScript(const QString& script) override;
    void AttachClickHandler(const QString& elementId, std::function<int()> handler) override;
    void SetEnableMessageHandler(bool enabled) override;
    bool EnableMessageHandler() const override { return enableMessageHandler_; }

    QWebEngineView* view() const { return view_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool acceptNavigation(const QUrl& url, QWebEnginePage::NavigationType type, bool isMainFrame);
    bool acceptReload();
    void watchFocusProxy();
    void moveScriptsToPage();

    PageScripts scripts_;
    QWebEngineProfile* profile_;
    QWebEngineView* view_;
    ClientPage* page_;
    QHash<int, TEventObject> clickHandlers_;
    int nextClickToken_ = 1;
    bool enableMessageHandler_ = true;
    bool moveScriptsToPage_ = false;
};

// Schemes the browser must know before the application object exists.
void RegisterBrowserSchemes();
