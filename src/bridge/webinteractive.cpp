#include "bridge/webinteractive.h"

#include "bridge/commandaddress.h"
#include "log/logger.h"

// One binding to one browser. The hooks installed in the browser hold it, so they stay safe to
// call after the bridge has moved on or gone: they then only pass events to the saved handlers.
struct TWebInteractive::TBinding {
    TWebInteractive* owner;
    TEmbeddedWB* browser;
    TEmbeddedWB::DocumentCompleteHandler FOldDocumentComplete;
    TEmbeddedWB::BeforeNavigate2Handler FOldBeforeNavigate2;
};

namespace {

using TBinding = TWebInteractive::TBinding;

struct BeforeNavigateHook {
    std::shared_ptr<TBinding> binding;
    void operator()(const QString& url, bool& cancel) const {
        const std::shared_ptr<TBinding> b = binding; // the handler slot may be rewritten meanwhile
        if (b->owner) {
            b->owner->WebBrowserBeforeNavigate2(url, cancel);
        } else if (b->FOldBeforeNavigate2) {
            b->FOldBeforeNavigate2(url, cancel);
        }
    }
};

struct DocumentCompleteHook {
    std::shared_ptr<TBinding> binding;
    void operator()(const QString& url) const {
        const std::shared_ptr<TBinding> b = binding;
        if (b->owner) {
            b->owner->WebBrowserDocumentComplete(url);
        } else if (b->FOldDocumentComplete) {
            b->FOldDocumentComplete(url);
        }
    }
};

template <typename Hook, typename Handler>
bool HoldsHookOf(const Handler& handler, const TBinding* binding) {
    const Hook* hook = handler.template target<Hook>();
    return hook && hook->binding.get() == binding;
}

} // namespace

const QString& TWebInteractive::ClientScript() {
    static const QString script =
        QStringLiteral("function SendClientCommand(command, params) {\r\n"
                       "window.location.href='command:' + command + ',' + params\r\n"
                       "}\r\n"
                       "function OnGetClientCommand(command, params) {\r\n"
                       "if(command == 'call') {\r\n"
                       "eval(params); }\r\n"
                       "}\r\n");
    return script;
}

TWebInteractive::TWebInteractive() : FSyncMarker(SyncMarker) {}

TWebInteractive::~TWebInteractive() {
    Unbind();
}

void TWebInteractive::Unbind() {
    if (!FBinding)
        return;
    TEmbeddedWB* browser = FBinding->browser;
    // Give back the saved handlers only where ours are still installed; a handler someone set
    // after us may chain to our hook, which from now on just passes the event on.
    if (HoldsHookOf<BeforeNavigateHook>(browser->OnBeforeNavigate2, FBinding.get()))
        browser->OnBeforeNavigate2 = FBinding->FOldBeforeNavigate2;
    if (HoldsHookOf<DocumentCompleteHook>(browser->OnDocumentComplete, FBinding.get()))
        browser->OnDocumentComplete = FBinding->FOldDocumentComplete;
    FBinding->owner = nullptr;
    FBinding.reset();
}

void TWebInteractive::SetWebBrowser(TEmbeddedWB* browser) {
    Unbind();
    if (browser != FWebBrowser)
        FPendingURL.clear();
    FWebBrowser = browser;
    if (!browser)
        return;
    FBinding = std::make_shared<TBinding>(
        TBinding{this, browser, browser->OnDocumentComplete, browser->OnBeforeNavigate2});
    browser->OnDocumentComplete = DocumentCompleteHook{FBinding};
    browser->OnBeforeNavigate2 = BeforeNavigateHook{FBinding};
}

void TWebInteractive::WebBrowserBeforeNavigate2(const QString& url, bool& cancel) {
    const QByteArray lower = BridgeLower(url);
    // Before the command test: a command address becomes the pending address too.
    if (MayBecomePending(lower, FSyncMarker))
        FPendingURL = lower;
    if (const std::optional<ClientCommand> command = ParseCommandAddress(url)) {
        DebugLogText(QStringLiteral("page command \"%1\", parameters \"%2\"")
                         .arg(command->command, command->params));
        DoGetClientCommand(command->command, command->params);
        cancel = true;
        return;
    }
    // Keep the binding alive while the chained handler runs, whatever it rebinds.
    const std::shared_ptr<TBinding> binding = FBinding;
    if (binding && binding->FOldBeforeNavigate2)
        binding->FOldBeforeNavigate2(url, cancel);
}

void TWebInteractive::WebBrowserDocumentComplete(const QString& url) {
    if (!FPendingURL.isEmpty() && FPendingURL == BridgeLower(url)) {
        InjectScript(ClientScript());
        FPendingURL.clear();
    }
    const std::shared_ptr<TBinding> binding = FBinding;
    if (binding && binding->FOldDocumentComplete)
        binding->FOldDocumentComplete(url);
}

void TWebInteractive::InjectScript(const QString& script) {
    if (!FWebBrowser)
        return;
    DebugLog("client script added to the top document");
    FWebBrowser->InjectScript(script);
}

void TWebInteractive::DoGetClientCommand(const QString& command, const QString& params) {
    if (OnGetClientCommand)
        OnGetClientCommand(command, params);
}
