#pragma once

#include "bridge/browserhost.h"
#include "bridge/clickhandlers.h"
#include "bridge/pagescripts.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWebEngineFullScreenRequest>
#include <QWebEnginePage>
#include <QWebEngineScript>

class ClientPage;
class QWebEngineUrlRequestJob;
class TPageDialog;
class TPageWindow;
struct ChannelRequest;
class QWebEngineProfile;
class QWebEngineView;
class QWidget;

// The embedded browser on Qt WebEngine, filling its parent panel.
class TWebEngineWB : public QObject, public TEmbeddedWB {
    Q_OBJECT
public:
    explicit TWebEngineWB(QWidget* panel);
    // Page, view and profile go in this order, so that the profile writes its last cookies.
    ~TWebEngineWB() override;

    void Navigate(const QString& url) override;
    QString LocationURL() const override;
    void ReadTopDocument(std::function<void(const TopDocument&)> done) override;
    void InjectScript(const QString& script) override;
    void AttachClickHandler(const QString& elementId, std::function<int()> handler) override;
    void SetEnableMessageHandler(bool enabled) override;
    bool EnableMessageHandler() const override { return enableMessageHandler_; }

    QWebEngineView* view() const { return view_; }

    // The platform's address (the settings' host value), read when a page asks for something
    // only the platform's own pages get.
    std::function<QString()> PlatformHost;
    // The fingerprints of the platform's pinned certificates (the settings' text), read when
    // the browser meets a certificate it does not trust by itself.
    std::function<QString()> PinnedCertificates;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool acceptNavigation(const QUrl& url, QWebEnginePage::NavigationType type, bool isMainFrame);
    bool acceptReload();
    QWebEnginePage* openPageWindow();
    // The platform's pages get the compatibility layer; it follows the settings' host value.
    void installPageLayer();
    void openPageDialog(QWebEngineUrlRequestJob* job, const ChannelRequest& request);
    // Only the platform's documents get the Flash player.
    bool acceptFlash(const QUrl& origin) const;
    QString platformHost() const;
    // Every page of the client answers certificates by the same rule.
    void answerCertificateErrors(QWebEnginePage* page);
    void fullScreenRequested(QWebEngineFullScreenRequest request);
    void watchFocusProxy();
    void handScriptsToPages();
    // Gives the client's scripts to every page; answers how many pages there are.
    int giveScriptsToAllPages();
    void giveScripts(QWebEnginePage* page) const;
    QWebEngineScript clientScript(const QString& name, const QString& source, quint32 world) const;

    PageScripts scripts_;
    // The key each client script marks a document with as it runs there, so that it runs once.
    QString runOnceKey_;
    QWebEngineProfile* profile_;
    QWebEngineView* view_;
    // The panel the view fills in the window; the view leaves it while the page is full screen.
    QWidget* panel_;
    ClientPage* page_;
    ClickHandlerTable clickHandlers_;
    // A frame of another site has been created in the top document.
    bool foreignFrames_ = false;
    // The student has used such a frame: the browser lets it navigate the top page.
    bool foreignFrameInput_ = false;
    // Windows that pages opened; pages may keep at most this many open.
    static constexpr int MaxPageWindows = 8;
    QList<QPointer<TPageWindow>> windows_;
    // Modal dialogs of pages, each waiting for the one it opened; at most this many at once.
    static constexpr int MaxPageDialogs = 4;
    QList<QPointer<TPageDialog>> dialogs_;
    QString pageLayerOrigin_;
    bool enableMessageHandler_ = true;
    bool handScriptsToPages_ = false;
    // The profile's scripts, once a page process has ended: every page holds them itself.
    QList<QWebEngineScript> pageScripts_;
};

// Schemes the browser must know before the application object exists.
void RegisterBrowserSchemes();
