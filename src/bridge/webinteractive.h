#pragma once

#include "bridge/browserhost.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

// Gives the platform's pages a way to call the client. After a page has loaded it adds a script
// that defines SendClientCommand and OnGetClientCommand; it watches every navigation start,
// catches the "command:" addresses SendClientCommand produces, cancels them and raises
// OnGetClientCommand with command and parameters. It carries any command.
class TWebInteractive {
public:
    using TOnGetClientCommand = std::function<void(const QString& command, const QString& params)>;

    // The script added to the top document, 201 characters.
    static const QString& ClientScript();

    TWebInteractive();
    // Takes the hooks off a browser that still holds them; one that replaced them keeps a hook
    // that only passes events on.
    ~TWebInteractive();
    TWebInteractive(const TWebInteractive&) = delete;
    TWebInteractive& operator=(const TWebInteractive&) = delete;

    TEmbeddedWB* WebBrowser() const { return FWebBrowser; }
    // Binds the bridge: saves the browser's OnDocumentComplete and OnBeforeNavigate2 handlers and
    // installs its own, which call the saved ones after their work. Binding again (to the same or
    // another browser) first gives the previous browser its saved handlers back, so the bridge
    // never chains to itself. Null unbinds.
    void SetWebBrowser(TEmbeddedWB* browser);

    // Raised once for every command received, from inside the navigation start. If it throws,
    // the navigation is not cancelled and the exception goes on to the browser's caller.
    TOnGetClientCommand OnGetClientCommand;

    // The hooks the browser calls.
    void WebBrowserBeforeNavigate2(const QString& url, bool& cancel);
    void WebBrowserDocumentComplete(const QString& url);

    // The lower-cased address of the latest navigation start that may receive the script; empty
    // when none waits.
    const QByteArray& PendingURL() const { return FPendingURL; }

    // One binding to a browser, shared with the hooks installed there.
    struct TBinding;

private:
    void Unbind();
    void InjectScript(const QString& script);
    void DoGetClientCommand(const QString& command, const QString& params);

    TEmbeddedWB* FWebBrowser = nullptr;
    std::shared_ptr<TBinding> FBinding;
    QByteArray FPendingURL;
    const QByteArray FSyncMarker;
};
