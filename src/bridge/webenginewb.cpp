#include "bridge/webenginewb.h"

#include "base/casepath.h"
#include "base/programdir.h"
#include "bridge/addresspolicy.h"
#include "bridge/certificateerrors.h"
#include "bridge/clientpage.h"
#include "bridge/commandaddress.h"
#include "bridge/commandsender.h"
#include "bridge/dialogfeatures.h"
#include "bridge/downloadnotice.h"
#include "bridge/flashplayerfiles.h"
#include "bridge/flashschemehandler.h"
#include "bridge/mediaconverter.h"
#include "bridge/pagechannelhandler.h"
#include "bridge/pagedialog.h"
#include "bridge/pagelayer.h"
#include "bridge/pagepermissions.h"
#include "bridge/pagewindow.h"
#include "bridge/permissionpolicy.h"
#include "log/logger.h"
#include "ui/errorbox.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QStandardPaths>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>

namespace {

// The client's own scripts run here, out of the pages' sight.
constexpr quint32 ClientWorld = QWebEngineScript::ApplicationWorld;
const QStringList ClientScriptNames = {QStringLiteral("client"), QStringLiteral("flash"),
                                       QStringLiteral("pagelayer")};

// Failed loads of pages are reported; cancelled ones are not failures.
bool IsLoadFailure(const QWebEngineLoadingInfo& info) {
    return info.status() == QWebEngineLoadingInfo::LoadFailedStatus;
}

// Only editing items stay in the page's menu: no navigation, reload, source, saving or
// new windows.
void TrimContextMenu(QMenu* menu, QWebEnginePage* page) {
    const QWebEnginePage::WebAction kept[] = {QWebEnginePage::Undo, QWebEnginePage::Redo,
                                              QWebEnginePage::Cut, QWebEnginePage::Copy,
                                              QWebEnginePage::Paste};
    for (QAction* action : menu->actions()) {
        bool keep = false;
        for (QWebEnginePage::WebAction webAction : kept)
            keep = keep || action == page->action(webAction);
        if (!keep)
            menu->removeAction(action);
    }
}

// Where the installed Flash player lies, beside the splash movie's.
const char* const FlashPlayerFolder = "resource/flash/ruffle";

// Command addresses never load anything: their navigations are cancelled before they start.
// The handler makes the scheme known to the browser, so that page scripts' navigations to it
// reach the navigation hook instead of failing as an unknown scheme.
class CommandSchemeHandler : public QWebEngineUrlSchemeHandler {
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob* job) override {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
    }
};

} // namespace

void RegisterBrowserSchemes() {
    // Without registration a script's navigation to "command:..." never reaches the
    // navigation hook.
    QWebEngineUrlScheme command("command");
    command.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    QWebEngineUrlScheme::registerScheme(command);
    // The player's files reach pages of the platform served over https too (a secure scheme),
    // and its WebAssembly is fetched from the page's origin (CORS).
    QWebEngineUrlScheme flash(FlashPlayerScheme);
    flash.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    flash.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::CorsEnabled);
    QWebEngineUrlScheme::registerScheme(flash);
    // The compatibility layer's calls from the platform's pages, over http or https.
    QWebEngineUrlScheme layer(PageLayerScheme);
    layer.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    layer.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::CorsEnabled);
    QWebEngineUrlScheme::registerScheme(layer);
}

TWebEngineWB::TWebEngineWB(QWidget* panel)
    : QObject(panel), scripts_(NewPageMarker()), runOnceKey_(NewPageMarker()), panel_(panel) {
    // A named, persistent profile keeps the platform's cookies across restarts.
    profile_ = new QWebEngineProfile(QStringLiteral("parvelo"), this);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                         QStringLiteral("/parvelo/browser");
    profile_->setPersistentStoragePath(data);
    profile_->setCachePath(data + QStringLiteral("/cache"));

    profile_->scripts()->insert(
        clientScript(QStringLiteral("client"), scripts_.documentScript(), ClientWorld));
    profile_->scripts()->insert(
        clientScript(QStringLiteral("flash"),
                     scripts_.flashScript(FlashPlayerLoaderAddress().toString()), ClientWorld));
    profile_->installUrlSchemeHandler("command", new CommandSchemeHandler(this));
    profile_->installUrlSchemeHandler(
        FlashPlayerScheme,
        new FlashSchemeHandler(
            FindFileIgnoringCase(ProgramDir() + QLatin1String(FlashPlayerFolder)) +
                QLatin1Char('/'),
            [this] { return platformHost(); }, this));
    auto* channel = new PageChannelHandler([this] { return platformHost(); }, this);
    channel->openDialog = [this](QWebEngineUrlRequestJob* job, const ChannelRequest& request) {
        openPageDialog(job, request);
    };
    channel->openWindow = [this](const QUrl& address) {
        if (QWebEnginePage* page = openPageWindow())
            page->load(address);
    };
    auto* media = new TMediaConverter(profile_, this);
    channel->convertMedia = [media](QWebEngineUrlRequestJob* job, const QUrl& file) {
        media->Convert(job, file);
    };
    profile_->installUrlSchemeHandler(PageLayerScheme, channel);
    connect(profile_, &QWebEngineProfile::downloadRequested, this, &AcceptDownload);

    view_ = new QWebEngineView(panel);
    page_ = new ClientPage(profile_, scripts_, view_);
    view_->setPage(page_);
    view_->setGeometry(panel->rect());
    view_->setContextMenuPolicy(Qt::CustomContextMenu);

    QWebEngineSettings* settings = page_->settings();
    settings->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    // Video players may ask to fill the screen; only the platform's pages are let.
    settings->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);

    AnswerPermissionRequests(page_, [this] { return platformHost(); });
    answerCertificateErrors(page_);
    // Top page and frames alike.
    page_->navigationFilter = [this](const QUrl& url, QWebEnginePage::NavigationType type,
                                     bool isMainFrame) {
        return acceptNavigation(url, type, isMainFrame);
    };
    page_->reloadFilter = [this] { return acceptReload(); };
    page_->clickHandler = [this](int token) {
        // The handler opens modal windows, in which the table may change: a copy, not a reference.
        const std::optional<TEventObject> sink = clickHandlers_.Find(token);
        if (!sink)
            return true;
        // A handler that fails cancels the click.
        std::optional<bool> proceed = false;
        RunHandler([&] { proceed = sink->Invoke(); });
        return proceed.value_or(true);
    };
    page_->windowFactory = [this] { return openPageWindow(); };
    page_->flashFilter = [this](const QUrl& origin) { return acceptFlash(origin); };
    connect(page_, &QWebEnginePage::fullScreenRequested, this, &TWebEngineWB::fullScreenRequested);
    // A taken-over element's handler lives as long as its document, and so does what is known of
    // its frames.
    connect(page_, &ClientPage::topDocumentCreated, this, [this] {
        clickHandlers_.Clear();
        foreignFrames_ = false;
        foreignFrameInput_ = false;
    });
    connect(page_, &ClientPage::frameDocumentCreated, this, [this](const QString& origin) {
        if (!foreignFrames_ && !IsPlatformOrigin(QUrl(origin), platformHost())) {
            DebugLog("frame of another site: %s", qUtf8Printable(origin));
            foreignFrames_ = true;
        }
    });
    connect(page_, &ClientPage::frameInput, this, [this](const QString& origin) {
        if (!foreignFrameInput_ && !IsPlatformOrigin(QUrl(origin), platformHost())) {
            DebugLog("input in a frame of another site: %s", qUtf8Printable(origin));
            foreignFrameInput_ = true;
        }
    });

    connect(page_, &ClientPage::documentCompleted, this, [this](const QString& pageUrl) {
        if (pageUrl.startsWith(QLatin1String("chrome-error:")))
            return;
        const QString url = BrowserAddress(pageUrl);
        DebugLog("document complete: %s", qUtf8Printable(url));
        if (OnDocumentComplete)
            RunHandler([&] { OnDocumentComplete(url); });
    });
    connect(
        page_, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
            if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus && handScriptsToPages_)
                handScriptsToPages();
            if (!IsLoadFailure(info) || !OnNavigateError)
                return;
            bool cancel = false;
            RunHandler([&] {
                OnNavigateError(BrowserAddress(info.url()), QString(), info.errorCode(), cancel);
            });
        });
    connect(page_, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int exitCode) {
                if (status == QWebEnginePage::NormalTerminationStatus || !OnPageProcessEnded)
                    return;
                // The next page process does not get the profile's scripts: they are handed over
                // again, as every page's own, once the next load starts.
                handScriptsToPages_ = true;
                const char* name = status == QWebEnginePage::CrashedTerminationStatus  ? "crashed"
                                   : status == QWebEnginePage::KilledTerminationStatus ? "killed"
                                                                                       : "abnormal";
                RunHandler([&] { OnPageProcessEnded(QString::fromLatin1(name), exitCode); });
            });
    connect(view_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu* menu = view_->createStandardContextMenu();
        TrimContextMenu(menu, page_);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        if (!menu->actions().isEmpty())
            menu->popup(view_->mapToGlobal(at));
        else
            menu->deleteLater();
    });
    view_->installEventFilter(this);
    watchFocusProxy();
}

TWebEngineWB::~TWebEngineWB() {
    // The windows' pages share the profile: they go first.
    qDeleteAll(dialogs_);
    qDeleteAll(windows_);
    delete page_;
    delete view_;
    delete profile_;
}

bool TWebEngineWB::acceptNavigation(const QUrl& url, QWebEnginePage::NavigationType type,
                                    bool isMainFrame) {
    const AddressUse use = ClassifyNavigation(url, type);
    if (use == AddressUse::Refuse)
        return false;
    // A server's redirect continues the navigation already announced: it starts none of its
    // own, so the redirected page does not count as the one announced.
    if (type == QWebEnginePage::NavigationTypeRedirect)
        return use == AddressUse::Load;
    if (ParseCommandAddress(BrowserAddress(url)) &&
        !AcceptsCommandFrom({isMainFrame, page_->url(), foreignFrames_, foreignFrameInput_},
                            platformHost())) {
        DebugLog("page command refused: %s from %s", isMainFrame ? "top page" : "a frame",
                 qUtf8Printable(BrowserAddress(page_->url())));
        return false;
    }
    bool cancel = false;
    // A failing handler leaves the navigation going, as the failure is shown.
    if (OnBeforeNavigate2)
        RunHandler([&] { OnBeforeNavigate2(BrowserAddress(url), cancel); });
    // A command address that is no command has nothing to load either.
    return !cancel && use == AddressUse::Load;
}

QWebEnginePage* TWebEngineWB::openPageWindow() {
    windows_.removeAll(nullptr);
    if (windows_.size() >= MaxPageWindows) {
        DebugLog("new window refused: %d are open", MaxPageWindows);
        return nullptr;
    }
    auto* window = new TPageWindow(profile_, scripts_);
    if (!pageScripts_.isEmpty())
        giveScripts(window->page());
    AnswerPermissionRequests(window->page(), [this] { return platformHost(); });
    answerCertificateErrors(window->page());
    window->page()->flashFilter = [this](const QUrl& origin) { return acceptFlash(origin); };
    windows_.append(window);
    window->show();
    DebugLog("new window opened");
    return window->page();
}

// Only the platform's own pages may fill the screen (a video player's full-screen button); the
// view then leaves its panel for the whole screen and comes back to it as it was.
void TWebEngineWB::fullScreenRequested(QWebEngineFullScreenRequest request) {
    const bool allowed =
        !request.toggleOn() ||
        IsPlatformOrigin(request.origin(), PlatformHost ? PlatformHost() : QString());
    DebugLog("full screen %s: %s, %s", request.toggleOn() ? "asked" : "left",
             qUtf8Printable(request.origin().toString()), allowed ? "accepted" : "refused");
    if (!allowed) {
        request.reject();
        return;
    }
    request.accept();
    if (request.toggleOn()) {
        QScreen* screen = view_->screen();
        view_->setParent(nullptr);
        // The screen's size also where no window manager carries out the full-screen state.
        view_->setGeometry(screen->geometry());
        view_->showFullScreen();
    } else {
        view_->setParent(panel_);
        view_->setGeometry(panel_->rect());
        view_->show();
    }
    watchFocusProxy();
}

bool TWebEngineWB::acceptFlash(const QUrl& origin) const {
    const bool load = GetsFlashPlayer(origin, platformHost());
    DebugLog("flash content: %s, %s", qUtf8Printable(origin.toString()),
             load ? "player loaded" : "no player");
    return load;
}

QString TWebEngineWB::platformHost() const {
    return PlatformHost ? PlatformHost() : QString();
}

void TWebEngineWB::answerCertificateErrors(QWebEnginePage* page) {
    AnswerCertificateErrors(
        page, [this] { return platformHost(); },
        [this] { return PinnedCertificates ? PinnedCertificates() : QString(); });
}

bool TWebEngineWB::acceptReload() {
    bool cancel = false;
    if (OnRefresh)
        RunHandler([&] { OnRefresh(cancel); });
    return !cancel;
}

void TWebEngineWB::installPageLayer() {
    const QString origin = PlatformOriginText(platformHost());
    if (origin == pageLayerOrigin_)
        return;
    pageLayerOrigin_ = origin;
    const QString name = QStringLiteral("pagelayer");
    for (const QWebEngineScript& old : profile_->scripts()->find(name))
        profile_->scripts()->remove(old);
    pageScripts_.removeIf([&](const QWebEngineScript& script) { return script.name() == name; });
    // In the page's own world, before its first script: pages call the old browser's functions
    // from their head.
    const QWebEngineScript layer =
        clientScript(name, PageLayerScript(origin), QWebEngineScript::MainWorld);
    if (!origin.isEmpty())
        profile_->scripts()->insert(layer);
    if (pageScripts_.isEmpty())
        return;
    if (!origin.isEmpty())
        pageScripts_.append(layer);
    giveScriptsToAllPages();
}

void TWebEngineWB::openPageDialog(QWebEngineUrlRequestJob* job, const ChannelRequest& request) {
    dialogs_.removeAll(nullptr);
    if (dialogs_.size() >= MaxPageDialogs) {
        DebugLog("modal dialog refused: %d are open", MaxPageDialogs);
        ReplyToChannel(job, "application/json", "{}");
        return;
    }
    auto* dialog = new TPageDialog(profile_, scripts_, request.arguments);
    if (!pageScripts_.isEmpty())
        giveScripts(dialog->page());
    AnswerPermissionRequests(dialog->page(), [this] { return platformHost(); });
    answerCertificateErrors(dialog->page());
    dialog->page()->flashFilter = [this](const QUrl& origin) { return acceptFlash(origin); };
    QPointer<QWebEngineUrlRequestJob> waiting(job);
    dialog->finished = [waiting](const QByteArray& answer) {
        if (waiting)
            ReplyToChannel(waiting, "application/json", answer);
    };
    // The opener went away (its page closed): nobody waits for the dialog any more.
    connect(job, &QObject::destroyed, dialog, &QWidget::close);
    const QScreen* screen = view_->screen();
    dialog->setGeometry(
        DialogGeometry(ParseDialogFeatures(request.features),
                       screen ? screen->availableGeometry() : QRect(0, 0, 800, 600)));
    dialogs_.append(dialog);
    DebugLog("modal dialog opened: %s", qUtf8Printable(BrowserAddress(request.target)));
    dialog->page()->load(request.target);
    dialog->show();
}

void TWebEngineWB::Navigate(const QString& url) {
    installPageLayer();
    // A local path (the error page) loads as a file, also when it is missing: the failure
    // then comes back as a navigation error.
    if (QFileInfo(url).isAbsolute())
        view_->load(QUrl::fromLocalFile(url));
    else
        view_->load(QUrl(url));
}

QString TWebEngineWB::LocationURL() const {
    return BrowserAddress(page_->url());
}

void TWebEngineWB::ReadTopDocument(std::function<void(const TopDocument&)> done) {
    page_->runJavaScript(
        PageScripts::readTopDocumentScript(), ClientWorld, [done](const QVariant& answer) {
            const QJsonObject json = QJsonDocument::fromJson(answer.toString().toUtf8()).object();
            TopDocument document;
            document.exists = json.value(QLatin1String("exists")).toBool();
            document.address = json.value(QLatin1String("address")).toString();
            document.cookie = json.value(QLatin1String("cookie")).toString();
            document.hasShowReturnBtn = json.value(QLatin1String("hasShowReturnBtn")).toBool();
            document.hasHiddenLink = json.value(QLatin1String("hasHiddenLink")).toBool();
            // The answer arrives outside any handler of ours: a failure of the page rules
            // (a malformed cookie) goes to the error box instead of ending the program.
            RunHandler([&] { done(document); });
        });
}

void TWebEngineWB::InjectScript(const QString& script) {
    const QString literal = QString::fromUtf8(
        QJsonDocument::fromVariant(QVariantList{script}).toJson(QJsonDocument::Compact));
    page_->runJavaScript(
        QStringLiteral("(function (text) { if (!document.body) return;"
                       " var s = document.createElement('script'); s.type = 'text/javascript';"
                       " s.text = text; document.body.appendChild(s); })(%1[0]);")
            .arg(literal),
        QWebEngineScript::MainWorld);
    // A page whose content policy refuses inline scripts still gets the functions.
    page_->runJavaScript(QStringLiteral("typeof SendClientCommand"), QWebEngineScript::MainWorld,
                         [this, script](const QVariant& type) {
                             if (type.toString() != QLatin1String("function"))
                                 page_->runJavaScript(script, QWebEngineScript::MainWorld);
                         });
}

void TWebEngineWB::AttachClickHandler(const QString& elementId, std::function<int()> handler) {
    const int token = clickHandlers_.Attach(elementId, TEventObject(std::move(handler)));
    DebugLog("click handler of %s: token %d", qUtf8Printable(elementId), token);
    page_->runJavaScript(PageScripts::attachClickScript(elementId, token), ClientWorld);
}

void TWebEngineWB::SetEnableMessageHandler(bool enabled) {
    enableMessageHandler_ = enabled;
}

// A page process that ends is started again without the profile's scripts, for as long as the
// client runs, while other page processes keep getting them. So from then on each page, the
// main page, the windows open and each window opened later, also holds all of them itself; each
// script runs once in a document however many copies reach it. Handing them over again after
// each later recovery makes the next page process get them too.
void TWebEngineWB::handScriptsToPages() {
    handScriptsToPages_ = false;
    pageScripts_ = profile_->scripts()->toList();
    DebugLog("scripts handed to %d pages", giveScriptsToAllPages());
}

int TWebEngineWB::giveScriptsToAllPages() {
    giveScripts(page_);
    windows_.removeAll(nullptr);
    dialogs_.removeAll(nullptr);
    for (TPageWindow* window : std::as_const(windows_))
        giveScripts(window->page());
    for (TPageDialog* dialog : std::as_const(dialogs_))
        giveScripts(dialog->page());
    return static_cast<int>(windows_.size() + dialogs_.size()) + 1;
}

// The client's scripts replace those given before; a page's own (a dialog's arguments) stay.
void TWebEngineWB::giveScripts(QWebEnginePage* page) const {
    for (const QString& name : ClientScriptNames)
        for (const QWebEngineScript& given : page->scripts().find(name))
            page->scripts().remove(given);
    page->scripts().insert(pageScripts_);
}

// A script of the client for every document and frame, from the document's creation.
QWebEngineScript TWebEngineWB::clientScript(const QString& name, const QString& source,
                                            quint32 world) const {
    QWebEngineScript script;
    script.setName(name);
    script.setSourceCode(RunOnceInDocument(source, runOnceKey_ + name));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(world);
    script.setRunsOnSubFrames(true);
    return script;
}

// The view's focus proxy receives the keys and is replaced after some navigations, so the
// filter follows it.
void TWebEngineWB::watchFocusProxy() {
    if (QWidget* proxy = view_->focusProxy())
        proxy->installEventFilter(this);
}

bool TWebEngineWB::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && event->type() == QEvent::ChildAdded)
        watchFocusProxy();
    if (watched != view_ && event->type() == QEvent::KeyPress && view_->isFullScreen() &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        page_->triggerAction(QWebEnginePage::ExitFullScreen);
        return true;
    }
    if (watched != view_ && event->type() == QEvent::KeyPress && enableMessageHandler_) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // The window sees the Enter key too, as if the page had left it unhandled.
            QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text());
            QApplication::sendEvent(view_->window(), &copy);
        }
    }
    return QObject::eventFilter(watched, event);
}
