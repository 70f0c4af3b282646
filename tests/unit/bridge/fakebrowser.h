#pragma once

#include "bridge/browserhost.h"

#include <QStringList>
#include <stdexcept>

// A browser without a window: records what the client asks of it and lets a test raise the
// events the way the real one does, through the handler slots.
class FakeBrowser : public TEmbeddedWB {
public:
    void Navigate(const QString& url) override { navigated << url; }
    QString LocationURL() const override { return location; }
    void ReadTopDocument(std::function<void(const TopDocument&)> done) override { done(document); }
    void InjectScript(const QString& script) override {
        if (failInjection)
            throw std::runtime_error("appendChild failed");
        injected << script;
    }
    void AttachClickHandler(const QString&, std::function<int()>) override {}
    void SetEnableMessageHandler(bool enabled) override { messageHandler = enabled; }
    bool EnableMessageHandler() const override { return messageHandler; }

    // Raises a navigation start; answers whether it was cancelled.
    bool StartNavigation(const QString& url, bool cancel = false) {
        if (OnBeforeNavigate2)
            OnBeforeNavigate2(url, cancel);
        return cancel;
    }
    void CompleteDocument(const QString& url) {
        if (OnDocumentComplete)
            OnDocumentComplete(url);
    }

    QStringList navigated;
    QStringList injected;
    QString location;
    TopDocument document;
    bool messageHandler = true;
    bool failInjection = false;
};
