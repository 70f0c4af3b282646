#include "app/startup.h"

#include "app/apptitle.h"
#include "app/audioeditor.h"
#include "app/comresource.h"
#include "app/killprocess.h"
#include "app/programdir.h"
#include "app/shutdownguard.h"
#include "app/termination.h"
#include "bridge/webenginewb.h"
#include "log/logger.h"
#include "mainwin/mainform.h"
#include "mainwin/privatemessages.h"
#include "platform/handover.h"
#include "platform/runtimedir.h"
#include "platform/singleinstance.h"
#include "ui/msgbox.h"
#include "ui/msgform.h"
#include "ui/qttranslations.h"
#include "ui/splashform.h"
#include "ui/windowplace.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <cstdio>

namespace {

// The splash stays up for this many passes of handling events, each ending this long after
// the one before.
constexpr int SplashWaitPasses = 101;
constexpr int SplashWaitPassMs = 20;
// How long the browser's shutdown may take at the end before the process is ended anyway.
constexpr int ShutdownLimitMs = 10000;

// Pass k ends k × 20 ms after the wait began, events handled until then. The passes keep this
// schedule however long the handling takes, so the wait lasts 2.02 s unless one event alone
// takes longer.
void WaitWithSplash() {
    QElapsedTimer clock;
    clock.start();
    for (int pass = 1; pass <= SplashWaitPasses; ++pass) {
        QApplication::processEvents();
        // The movie's player works through chains of events that each post the next one: a
        // plain sleep would hold them until the next pass and the movie would never start, so
        // the pause keeps handling events.
        const qint64 left = qint64(pass) * SplashWaitPassMs - clock.elapsed();
        if (left <= 0)
            continue;
        QEventLoop pause;
        QTimer::singleShot(std::chrono::milliseconds(left), Qt::PreciseTimer, &pause,
                           &QEventLoop::quit);
        pause.exec();
    }
}

} // namespace

int RunClient(int argc, char** argv) {
    const RuntimeFolder runtime = FindRuntimeFolder();
    if (runtime.path.isEmpty())
        std::fprintf(stderr,
                     "parvelo: no private runtime folder (%s): starting without the "
                     "single-instance lock, the hand-over socket and the log lock\n",
                     qUtf8Printable(runtime.note));
    static SingleInstanceLock instanceLock{QString::fromLatin1(HandoverName)};
    if (!instanceLock.acquire()) {
        // A second start only tells the running client and ends: no settings, no log.
        SendHandoverMessage(QString::fromLatin1(HandoverName), WM_OTHERINSTANCE);
        return 0;
    }

    // The browser's own schemes must be known before the application object exists.
    RegisterBrowserSchemes();
    QApplication app(argc, argv);
    // The message loop ends when the main window's close is confirmed, not when some other
    // window happens to be the last one to close.
    QApplication::setQuitOnLastWindowClosed(false);
    InstallQtTranslations();
    SetApplicationTitle(QStringLiteral("Parvelo"));

    // Everything the client reads, runs and writes is found from its own folder: without it
    // the client cannot start, and the current directory is no substitute.
    if (!SetProgramDirFromExecutable()) {
        std::fprintf(stderr, "parvelo: cannot find the program's own folder (/proc/self/exe)\n");
        return 1;
    }
    auto* resource = new TComResource();
    SetComResource(resource);
    OpenLog(resource->ConfFile, true, QStringLiteral("logger"));
    DebugLog("start-up: program directory %s", qUtf8Printable(ProgramDir()));
    DebugLog("start-up: runtime folder \"%s\" (%s)", qUtf8Printable(runtime.path),
             qUtf8Printable(runtime.note));

    if (!EnsureAudioEditor()) {
        DebugLog("start-up: the audio editor component is missing");
        ShowInfo(QStringLiteral("加载系统需要的组件失败。\n请重新安装Tirsa2008智能教具配套软件。"),
                 QStringLiteral("温馨提示"));
        RequestTermination();
    }

    auto* splash = new TSplashForm();
    splash->show();
    splash->repaint();
    DebugLog("start-up: splash wait");
    WaitWithSplash();

    DebugLog("start-up: creating the main window");
    auto* mainForm = new TMainForm();
    QObject::connect(mainForm, &TMainForm::closed, &app, &QApplication::quit);
    MsgForm();
    // Freeing the splash also ends its player's browser process.
    splash->close();
    delete splash;

    DebugLog("start-up: message loop");
    CentreOnScreen(mainForm);
    mainForm->show();
    // A start-up that was asked to end shows the main window and ends with its first message,
    // without the close question (quit() would ask the windows to close).
    if (TerminationRequested())
        QTimer::singleShot(0, &app, [] { QApplication::exit(0); });
    QApplication::exec();

    DebugLog("shutdown: closing the log");
    CloseLog();
    // The browser profile writes its cookies in batches, on threads of its own that finish only
    // when the browser shuts down: the other processes of our name are ended, this one ends by
    // returning, and the browser's shutdown writes the platform's last cookies.
    mainForm->ReleaseBrowser();
    KillProcessByName(resource->ExeFileName, KillSelf::No);
    EndWithin(ShutdownLimitMs);
    return 0;
}
