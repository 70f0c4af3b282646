#pragma once

#include <QString>
#include <functional>

// What the client needs of its embedded browser. Every event is a handler slot that can be
// read and replaced, so a component that takes an event over keeps the handler it found and
// calls it after its own work.
class TEmbeddedWB {
public:
    // A navigation is about to start (top page or frame). Setting cancel stops it.
    using BeforeNavigate2Handler = std::function<void(const QString& url, bool& cancel)>;
    // A document finished loading (top page or frame); url is that document's address.
    using DocumentCompleteHandler = std::function<void(const QString& url)>;
    // A navigation failed; statusCode is the browser's error or HTTP status.
    using NavigateErrorHandler =
        std::function<void(const QString& url, const QString& frame, int statusCode, bool& cancel)>;
    // The page is asked to reload. Setting cancel blocks it.
    using RefreshHandler = std::function<void(bool& cancel)>;
    // The process that shows the pages ended abnormally (status: "abnormal", "crashed",
    // "killed"); the page area is empty until something is loaded again.
    using PageProcessEndedHandler = std::function<void(const QString& status, int exitCode)>;

    // What the top page's document shows: read asynchronously, delivered in event order.
    struct TopDocument {
        bool exists = false; // false when no HTML document is loaded
        QString address;     // the document's own address
        QString cookie;      // name=value entries separated by ";"
        bool hasShowReturnBtn = false;
        bool hasHiddenLink = false;
    };

    virtual ~TEmbeddedWB() = default;

    // Starts a navigation to an absolute address or a local file path. Asynchronous.
    virtual void Navigate(const QString& url) = 0;
    // The top page's address.
    virtual QString LocationURL() const = 0;
    // Reads the top page's document; done runs once the answer is there, after the answers of
    // every earlier call.
    virtual void ReadTopDocument(std::function<void(const TopDocument&)> done) = 0;
    // Appends a <script type="text/javascript"> element with this text to the top document's
    // body. Does nothing when there is no document or no body.
    virtual void InjectScript(const QString& script) = 0;
    // Makes handler the click handler of the top page's element with this id, replacing any
    // handler the page had: a nonzero low 16 bits of its answer let the click go on, zero
    // cancels the element's default action.
    virtual void AttachClickHandler(const QString& elementId, std::function<int()> handler) = 0;
    // While true, an Enter key the browser handled is still reported to the window.
    virtual void SetEnableMessageHandler(bool enabled) = 0;
    virtual bool EnableMessageHandler() const = 0;

    BeforeNavigate2Handler OnBeforeNavigate2;
    DocumentCompleteHandler OnDocumentComplete;
    NavigateErrorHandler OnNavigateError;
    RefreshHandler OnRefresh;
    PageProcessEndedHandler OnPageProcessEnded;
};
