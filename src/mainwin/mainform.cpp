#include "mainwin/mainform.h"

#include "reccheck/audioeditor.h"
#include "reccheck/checkrecord.h"
#include "reccheck/tipcheckrec.h"

#include "base/apptitle.h"
#include "base/casepath.h"
#include "base/programdir.h"
#include "bridge/webenginewb.h"
#include "log/logescape.h"
#include "log/logger.h"
#include "mainwin/pageload.h"
#include "mainwin/privatemessages.h"
#include "platform/handover.h"
#include "platform/windowlookup.h"
#include "system/settings.h"
#include "system/sounddevice.h"
#include "ui/errorbox.h"
#include "ui/formresources.h"
#include "ui/msgbox.h"
#include "ui/picbutton.h"
#include "ui/windowdrag.h"
#include "ui/windowregion.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QTimer>
#include <QUrl>

namespace {

const char* const OuterSkin = "resource/image/So_800_600.png";
const char* const InsideSkin = "resource/image/So_800_600_inside.png";

// Marks the microphone check open for as long as it lives, failures included.
class CheckOpen {
public:
    explicit CheckOpen(bool& open) : open_(open) { open_ = true; }
    ~CheckOpen() { open_ = false; }
    CheckOpen(const CheckOpen&) = delete;
    CheckOpen& operator=(const CheckOpen&) = delete;

private:
    bool& open_;
};

} // namespace

TMainForm::TMainForm(QWidget* parent)
    : QWidget(parent), handover_(new HandoverServer(this)),
      navErrors_(LocalErrorPagePath(ProgramDir())) {
    clock_.start();
    InitFormResources();
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(ApplicationTitle());

    auto* RzPanel2 = new QWidget(this);
    RzPanel2->setGeometry(0, 0, MainClientWidth, MainClientHeight);
    img1 = new QLabel(RzPanel2);
    img1->setGeometry(0, 0, MainClientWidth, MainClientHeight);
    img1->setCursor(Qt::ArrowCursor);
    img1->installEventFilter(this);

    RzBmpButton1 =
        MakePicButton(RzPanel2, {559, 2, 59, 25},
                      {{TPicButton::Up, ":/forms/mainwin/soundtest_up.png"},
                       {TPicButton::Down, ":/forms/mainwin/soundtest_down.png"},
                       {TPicButton::Disabled, ":/forms/mainwin/soundtest_disabled.png"}});
    btnLogOut = MakePicButton(RzPanel2, {615, 2, 60, 25},
                              {{TPicButton::Up, ":/forms/mainwin/logout_up.png"},
                               {TPicButton::Down, ":/forms/mainwin/logout_down.png"},
                               {TPicButton::Disabled, ":/forms/mainwin/logout_disabled.png"}});
    btnLogOut->setEnabled(false);
    RzBmpMinimize =
        MakePicButton(RzPanel2, {723, 2, 28, 14},
                      {{TPicButton::Up, ":/forms/mainwin/minimize_up.png"},
                       {TPicButton::Hot, ":/forms/mainwin/minimize_hot.png"},
                       {TPicButton::Disabled, ":/forms/mainwin/minimize_disabled.png"}});
    RzBmpClose = MakePicButton(RzPanel2, {752, 2, 28, 14},
                               {{TPicButton::Up, ":/forms/mainwin/close_up.png"},
                                {TPicButton::Hot, ":/forms/mainwin/close_hot.png"}});
    btnReturnMainWindow =
        MakePicButton(RzPanel2, {686, 39, 95, 33},
                      {{TPicButton::Up, ":/forms/mainwin/return_up.png"},
                       {TPicButton::Down, ":/forms/mainwin/return_down.png"},
                       {TPicButton::StayDown, ":/forms/mainwin/return_staydown.png"},
                       {TPicButton::Hot, ":/forms/mainwin/return_hot.png"},
                       {TPicButton::UpFocused, ":/forms/mainwin/return_upfocused.png"},
                       {TPicButton::Disabled, ":/forms/mainwin/return_disabled.png"}});
    btnReturnMainWindow->hide();

    RzPanel1 = new QWidget(RzPanel2);
    RzPanel1->setGeometry(2, 115, 796, 457);
    EmbeddedWB1 = new TWebEngineWB(RzPanel1);
    EmbeddedWB1->PlatformHost = [] { return ReadHost(); };
    EmbeddedWB1->PinnedCertificates = [] { return ReadPinnedCertificates(); };
    EmbeddedWB1->OnDocumentComplete = [this](const QString& url) {
        EmbeddedWB1DocumentComplete(url);
    };
    EmbeddedWB1->OnNavigateError = [this](const QString& url, const QString&, int statusCode,
                                          bool&) { EmbeddedWB1NavigateError(url, statusCode); };
    EmbeddedWB1->OnPageProcessEnded = [this](const QString& status, int exitCode) {
        EmbeddedWB1PageProcessEnded(status, exitCode);
    };
    EmbeddedWB1->OnRefresh = [](bool& cancel) {
        DebugLog("reload refused");
        cancel = true;
    };
    // The bridge takes the document-complete event over and hands it on afterwards.
    WebInteractive1.OnGetClientCommand = [this](const QString& command, const QString& params) {
        WebInteractive1GetClientCommand(command, params);
    };
    WebInteractive1.SetWebBrowser(EmbeddedWB1);

    connect(btnLogOut, &TPicButton::clicked, this,
            [this] { RunHandler([this] { btnLogOutClick(); }); });
    connect(btnReturnMainWindow, &TPicButton::clicked, this,
            [this] { RunHandler([this] { btnReturnMainWindowClick(); }); });
    connect(RzBmpMinimize, &TPicButton::clicked, this, [this] { showMinimized(); });
    connect(RzBmpClose, &TPicButton::clicked, this, [this] { close(); });
    connect(RzBmpButton1, &TPicButton::clicked, this,
            [this] { RunHandler([this] { btn1Click(); }); });
    connect(handover_, &HandoverServer::messageReceived, this, &TMainForm::HandlePrivateMessage);
    if (!handover_->listen(QString::fromLatin1(HandoverName)))
        DebugLog("hand-over channel could not be opened");

    FormCreate();
}

void TMainForm::FormCreate() {
    try {
        SetupWindow();
    } catch (const ClientError& failure) {
        // The window still opens, without skin and without a page; the working directories
        // are left for the next start.
        SizeMainWindow(this);
        ShowDefaultError(QString::fromUtf8(failure.what()));
        return;
    }
    CreateWorkingDirectories();
}

void TMainForm::SetupWindow() {
    // Corner ellipses of 16 × 16: only the corners are cut.
    setMask(RoundedWindowRegion(QSize(MainClientWidth + 1, MainClientHeight + 1), 16, 16));
    if (!ProgramDir().endsWith(QLatin1Char('/')))
        SetProgramDir(ProgramDir());
    FInsideSkin = false;
    ShowStartPage();
    SizeMainWindow(this);
}

void TMainForm::ShowStartPage() {
    LoadSkin(false);
    // An unreadable settings file was reported by ReadHost; any other address that is not a
    // web address is the same configuration error, and nothing is loaded.
    const QString host = ReadHost();
    if (!IsWebAddress(host)) {
        DebugLog("start page not a web address: %s", qUtf8Printable(host));
        if (!host.isEmpty())
            ShowInfo(QStringLiteral("主机地址配置错误。"), QStringLiteral("温馨提示"));
        return;
    }
    NavigateTo(host);
}

void TMainForm::NavigateTo(const QString& address) {
    DebugLog("navigate: %s", qUtf8Printable(address));
    EmbeddedWB1->Navigate(address);
}

void TMainForm::btnLogOutClick() {
    if (!btnReturnMainWindow->isEnabled())
        btnReturnMainWindow->setEnabled(true);
    NavigateTo(LogOutAddress(ReadHost(), CacheBreaker()));
}

void TMainForm::btnReturnMainWindowClick() {
    // A cookie must not lead the client into a local file or a script address.
    if (!IsWebAddress(FReturnURL)) {
        DebugLog("return address not followed: %s", qUtf8Printable(FReturnURL));
        return;
    }
    if (!FReturnTip.isEmpty()) {
        const int answer = ShowQuestion(FReturnTip, QStringLiteral("温馨提示"));
        DebugLog("return question answered %d", answer);
        if (answer != ModalOk)
            return;
    }
    NavigateTo(ReturnAddress(FReturnURL, CacheBreaker()));
}

void TMainForm::EmbeddedWB1NavigateError(const QString& url, int statusCode) {
    const NavErrorAction action = navErrors_.OnNavigateError(url, statusCode);
    DebugLog("navigation error %d at %s: action %d, count %d", statusCode, qUtf8Printable(url),
             static_cast<int>(action.kind), navErrors_.Count());
    switch (action.kind) {
    case NavErrorAction::Ignore:
        break;
    case NavErrorAction::Retry:
    case NavErrorAction::ShowErrorPage:
    case NavErrorAction::ShowCertificatePage:
        NavigateTo(action.address);
        break;
    case NavErrorAction::ShowBuiltInText:
        // The error page itself is missing: going back to it would loop for ever.
        NavigateTo(QStringLiteral("data:text/html;charset=utf-8,") +
                   QString::fromLatin1(QUrl::toPercentEncoding(QStringLiteral(
                       "<html><body style='font-family:sans-serif;text-align:center;"
                       "padding-top:120px'><h2>暂时无法连接到学习平台</h2>"
                       "<p>请检查网络连接，稍后重新启动客户端。</p></body></html>"))));
        break;
    }
}

void TMainForm::EmbeddedWB1PageProcessEnded(const QString& status, int exitCode) {
    const QString shown = EmbeddedWB1->LocationURL();
    const bool reload = pageProcessRestarts_.OnPageProcessEnded(clock_.elapsed()) ==
                            PageProcessAction::ReloadPage &&
                        !shown.isEmpty();
    WriteLog("page process ended (%s, exit code %d) showing %s: %s", qUtf8Printable(status),
             exitCode, EscapeLogText(shown.toStdString()).c_str(),
             reload ? "reloading the page" : "showing the local error page");
    // The browser starts a new page process only once it has dealt with the end of the old one.
    const QString address = reload ? shown : LocalErrorPagePath(ProgramDir());
    QTimer::singleShot(0, this, [this, address] { NavigateTo(address); });
}

void TMainForm::EmbeddedWB1DocumentComplete(const QString& url) {
    const FrameDecision frame = DecideFrame(url, [] { return ReadHost(); });
    switch (SkinToLoad(frame.wantInsideSkin, FInsideSkin)) {
    case SkinChange::LoadInside:
        LoadSkin(true);
        break;
    case SkinChange::LoadOutside:
        LoadSkin(false);
        break;
    case SkinChange::Keep:
        break;
    }
    if (frame.logOut != ButtonChange::Unchanged)
        btnLogOut->setEnabled(frame.logOut == ButtonChange::Enable);
    EmbeddedWB1->SetEnableMessageHandler(frame.enableMessageHandler);
    DebugLog("page loaded: %s; inner skin %d, log-out %d, Enter switch %d", qUtf8Printable(url),
             FInsideSkin, btnLogOut->isEnabled(), frame.enableMessageHandler);
    // The document's part is applied when the browser's answer arrives, in event order.
    EmbeddedWB1->ReadTopDocument([this, url, frame](const TEmbeddedWB::TopDocument& document) {
        ApplyTopDocument(url, frame.soundTestEnabled, document);
    });
}

void TMainForm::ApplyTopDocument(const QString& url, bool soundTestEnabled,
                                 const TEmbeddedWB::TopDocument& document) {
    if (!document.exists)
        return;
    const PlatformPart platform =
        PlatformPartOf(document.address, document.cookie, document.hasHiddenLink, ReadHost());
    // A malformed return cookie fails here and leaves the earlier state as it was.
    const ReturnCookies cookies = ReadReturnCookies(platform.cookie);
    FReturnURL = cookies.FReturnURL;
    FReturnTip = cookies.FReturnTip;
    btnReturnMainWindow->setVisible(ReturnButtonVisible(document.hasShowReturnBtn, FReturnURL));
    RzBmpButton1->setEnabled(soundTestEnabled);
    if (platform.hasHiddenLink)
        EmbeddedWB1->AttachClickHandler(QStringLiteral("hiddenLink"),
                                        [this] { return StartCheckRec(); });
    DebugLog("page document: %s; return \"%s\", return button %d, sound test %d, hidden link %d",
             qUtf8Printable(url), qUtf8Printable(FReturnURL), btnReturnMainWindow->isVisible(),
             RzBmpButton1->isEnabled(), platform.hasHiddenLink);
}

void TMainForm::WebInteractive1GetClientCommand(const QString& command, const QString& params) {
    DebugLogText(QStringLiteral("page command: %1, %2").arg(command, params));
    if (const std::optional<bool> enabled = ReturnButtonEnabledByCommand(command, params))
        btnReturnMainWindow->setEnabled(*enabled);
}

int TMainForm::StartCheckRec() {
    // A page may click its link again while the check is open (from a timer): the recording
    // file and the microphone serve one check at a time.
    if (checkOpen_) {
        DebugLog("hidden link: a check is open, answer %d", CheckRecCancel);
        return CheckRecCancel;
    }
    const bool device = CheckSoundDevice();
    const CheckRecStep step = DecideCheckRec(
        device, device && IsRecTipOn(), device && IsEnglishTestPage(EmbeddedWB1->LocationURL()));
    const int answer = step == CheckRecStep::CancelClick ? CheckRecCancel : CheckRecProceed;
    DebugLog("hidden link: step %d, answer %d", static_cast<int>(step), answer);
    if (step == CheckRecStep::ShowTip) {
        RunHandler([this] {
            const CheckOpen open(checkOpen_);
            TTipCheckRec tip(AudioEditorControls(), this);
            tip.exec();
        });
    }
    return answer;
}

void TMainForm::btn1Click() {
    DebugLog("sound-test button pressed");
    if (checkOpen_)
        return;
    const CheckOpen open(checkOpen_);
    TCheckRecord wizard(AudioEditorControls(), this);
    wizard.exec();
}

void TMainForm::ReleaseBrowser() {
    WebInteractive1.SetWebBrowser(nullptr);
    delete EmbeddedWB1;
    EmbeddedWB1 = nullptr;
}

void TMainForm::LoadSkin(bool inside) {
    const QString path =
        FindFileIgnoringCase(ProgramDir() + QLatin1String(inside ? InsideSkin : OuterSkin));
    QPixmap skin(path);
    if (skin.isNull())
        throw ClientError(
            QStringLiteral("Cannot open file \"%1\".").arg(QDir::toNativeSeparators(path)));
    img1->setPixmap(skin);
    FInsideSkin = inside;
    DebugLog("skin: %s", inside ? "inner" : "outer");
}

void TMainForm::CreateWorkingDirectories() {
    for (const char* name : {"course", "tmp", "tmpRinfo"}) {
        const QString path = ProgramDir() + QLatin1String(name);
        if (!QDir(path).exists() && !QDir().mkpath(path))
            DebugLog("working directory %s could not be created", qUtf8Printable(path));
    }
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == img1 && event->type() == QEvent::MouseButtonPress) {
        StartWindowDrag(this, static_cast<QMouseEvent*>(event));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    const int answer = ShowQuestion(QStringLiteral("确认关闭吗？"), QStringLiteral("温馨提示"));
    DebugLog("close question answered %d", answer);
    if (answer != ModalOk) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

void TMainForm::HandlePrivateMessage(quint32 message) {
    DebugLog("private message 0x%X received", message);
    switch (message) {
    case WM_SHOWMAINWINDOW:
        ShowMainWindow();
        break;
    case WM_OTHERINSTANCE:
        OtherInstance();
        break;
    case WM_HIDEMAINWINDOW:
        hide();
        break;
    default:
        break;
    }
}

void TMainForm::ShowMainWindow() {
    if (!isVisible())
        show();
    BringToFront();
}

void TMainForm::OtherInstance() {
    const OtherInstanceAction action = DecideOtherInstance(
        TopLevelWindowExists(QStringLiteral("#32770"), QStringLiteral("Plomek")),
        TopLevelWindowExists(QStringLiteral("TRvnx"), QStringLiteral("Ostrel")),
        TopLevelWindowExists(QStringLiteral("TMkpw"), QStringLiteral("Dravin")), isVisible());
    DebugLog("other instance: ignore %d, show %d, to front %d", action.ignore, action.showWindow,
             action.bringToFront);
    if (action.showWindow)
        showNormal();
    if (action.bringToFront)
        BringToFront();
}

// Minimising and restoring brings the client to the foreground even when another program
// has the focus. A hidden main window stays hidden.
void TMainForm::BringToFront() {
    if (isVisible()) {
        showMinimized();
        showNormal();
    }
    QWidget* active = QApplication::activeModalWidget();
    if (!active && isVisible())
        active = this;
    if (active) {
        active->raise();
        active->activateWindow();
    }
}
