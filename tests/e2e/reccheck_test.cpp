#include "support/clientinstall.h"

#include <QDir>
#include <QFile>
#include <QPoint>
#include <QProcess>
#include <QSize>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <functional>

// The microphone check of the installed client on the tests' private sound server: the
// sample plays into the null speaker, the test speaks into the virtual microphone.

namespace {

const QString MessageLoop = QStringLiteral("start-up: message loop");

const QSize MainWindow(800, 600);
const QPoint SoundTestButton(588, 14);
const QSize Wizard(558, 353);
const QPoint StartButton(486, 290);
const QPoint FinishButton(278, 282);
const QPoint RetryButton(187, 282);
const QPoint ExitButton(366, 282);

QString RecTip(const ClientInstallation& install) {
    QFile file(install.confPath());
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.trimmed().startsWith("RecTip="))
            return QString::fromUtf8(line.trimmed().mid(7));
    return QString();
}

void SetRecTip(const ClientInstallation& install, const char* value) {
    QFile file(install.confPath());
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(QByteArray("\n[CheckRecTip]\nRecTip=") + value + "\n");
}

bool PulseSession(const QStringList& arguments) {
    return QProcess::execute(QString::fromLocal8Bit(qgetenv("PARVELO_PULSE_SESSION_COMMAND")),
                             arguments) == 0;
}

// Plays a file into the virtual microphone of the sound server in sessionDir and waits for its
// end; the tests' shared server when no folder is given.
bool Speak(const QString& file, const QString& sessionDir = QString()) {
    return PulseSession({QStringLiteral("speak"),
                         sessionDir.isEmpty()
                             ? QString::fromLocal8Bit(qgetenv("PARVELO_PULSE_SESSION_DIR"))
                             : sessionDir,
                         file});
}

// A sound server of the test's own, which it crashes and starts again.
class OwnSoundServer {
public:
    OwnSoundServer() : session_(root_.filePath(QStringLiteral("pulse"))) {}
    ~OwnSoundServer() { PulseSession({QStringLiteral("stop"), session_}); }

    bool Start() { return PulseSession({QStringLiteral("start"), session_}); }
    // SIGKILL, as when the server crashes.
    bool Crash() { return PulseSession({QStringLiteral("crash"), session_}); }
    bool Speak(const QString& file) const { return ::Speak(file, session_); }
    QString Address() const {
        return QStringLiteral("unix:") + session_ + QStringLiteral("/native");
    }

private:
    QTemporaryDir root_;
    QString session_;
};

bool Alive(QProcess* client) {
    client->waitForFinished(0);
    return client->state() == QProcess::Running;
}

// Runs sox with arguments; true when it made its file.
bool Sox(const QStringList& arguments) {
    return QProcess::execute(QStringLiteral("sox"),
                             QStringList{QStringLiteral("-V1")} + arguments) == 0;
}

// What a cheap microphone near mains wiring records of the sample sentence: a second of 50 Hz
// hum with its harmonics, then the reading over it, 17 dB under the reading's peak, nine seconds
// in all. Returns the file's path in dir, or an empty string when sox failed.
QString SentenceOverHum(const QTemporaryDir& dir, const QString& sentence) {
    const QStringList format = {QStringLiteral("-r"), QStringLiteral("16000"),
                                QStringLiteral("-c"), QStringLiteral("1"),
                                QStringLiteral("-b"), QStringLiteral("16")};
    const QString reading = dir.filePath(QStringLiteral("reading.wav"));
    const QString hum = dir.filePath(QStringLiteral("hum.wav"));
    const QString mixed = dir.filePath(QStringLiteral("sentence-over-hum.wav"));
    QStringList harmonics;
    const double weights[] = {1.0, 0.6, 0.4, 0.25, 0.15};
    for (int k = 1; k <= 5; ++k) {
        const QString harmonic = dir.filePath(QStringLiteral("hum%1.wav").arg(k));
        if (!Sox(QStringList{QStringLiteral("-n")} + format +
                 QStringList{harmonic, QStringLiteral("synth"), QStringLiteral("9"),
                             QStringLiteral("sine"), QString::number(50 * k), QStringLiteral("vol"),
                             QString::number(weights[k - 1])}))
            return {};
        harmonics << QStringLiteral("-v") << QStringLiteral("1") << harmonic;
    }
    const bool made =
        Sox(QStringList{QStringLiteral("-m")} + harmonics + format +
            QStringList{hum, QStringLiteral("gain"), QStringLiteral("-n"),
                        QStringLiteral("-23")}) &&
        Sox(QStringList{sentence} + format +
            QStringList{reading, QStringLiteral("gain"), QStringLiteral("-n"), QStringLiteral("-6"),
                        QStringLiteral("pad"), QStringLiteral("1"), QStringLiteral("0")}) &&
        Sox(QStringList{QStringLiteral("-m"), QStringLiteral("-v"), QStringLiteral("1"), reading,
                        QStringLiteral("-v"), QStringLiteral("1"), hum} +
            format + QStringList{mixed});
    return made ? mixed : QString();
}

// Starts the client and opens the wizard with the main window's sound-test button.
void OpenWizard(ClientInstallation& install) {
    install.start();
    ASSERT_TRUE(WaitUntil([&] { return install.logCount(MessageLoop) == 1; }));
    ASSERT_TRUE(ClickInCentredWindow(MainWindow, SoundTestButton));
    ASSERT_TRUE(WaitUntil([&] { return install.logCount("recording check: start page") == 1; }));
}

bool Recording(const ClientInstallation& install, int times) {
    return WaitUntil([&] { return install.logCount("recording check: status 2") == times; });
}

// Waits for the page; when it does not come, keeps the recording for a person to listen to.
bool Page(const ClientInstallation& install, const char* page, int times) {
    const bool shown = WaitUntil(
        [&] {
            return install.logCount(QStringLiteral("recording check: %1 page").arg(page)) == times;
        },
        40000);
    const QString artifacts = QString::fromLocal8Bit(qgetenv("PARVELO_E2E_ARTIFACTS"));
    if (!shown && !artifacts.isEmpty() && QDir().mkpath(artifacts))
        QFile::copy(install.dir() + QStringLiteral("/tmp/RecordTestFile.wav"),
                    artifacts + QStringLiteral("/%1-%2.wav").arg(install.exeName(), page));
    return shown;
}

TEST(RecordingCheck, TheSentenceReadIntoTheMicrophonePassesAndTurnsTheTipOff) {
    ClientInstallation install(QStringLiteral("recpass"));
    OpenWizard(install);
    // The module beside the program is used as it is: nothing needs registering.
    EXPECT_EQ(install.logCount("register "), 0);
    EXPECT_EQ(install.logCount("audio editor: "), 0);

    ASSERT_TRUE(ClickInCentredWindow(Wizard, StartButton));
    // The sample plays first; its end brings the ding and then the recording.
    ASSERT_TRUE(Recording(install, 1));
    EXPECT_EQ(install.logCount("recording check: status 1"), 1);
    // A student starts reading a moment after the ding, not within the microphone's first
    // chunks (which a loaded machine may deliver late).
    QThread::msleep(1000);
    ASSERT_TRUE(Speak(install.dir() + QStringLiteral("/engine/bin/checkRecTip.wav")));
    ASSERT_TRUE(Page(install, "success", 1)) << install.log().toStdString();
    EXPECT_EQ(install.logCount("verdict 0"), 1);

    ASSERT_TRUE(ClickInCentredWindow(Wizard, FinishButton));
    ASSERT_TRUE(WaitUntil([&] { return install.logCount("recording check: closed") == 1; }));
    EXPECT_EQ(RecTip(install), QStringLiteral("no"));
}

// Mains hum under a clear reading once hid the voice: "no speech".
TEST(RecordingCheck, TheSentenceReadOverMainsHumPasses) {
    ClientInstallation install(QStringLiteral("rechum"));
    QTemporaryDir dir;
    const QString speech =
        SentenceOverHum(dir, install.dir() + QStringLiteral("/engine/bin/checkRecTip.wav"));
    ASSERT_FALSE(speech.isEmpty());
    OpenWizard(install);

    ASSERT_TRUE(ClickInCentredWindow(Wizard, StartButton));
    ASSERT_TRUE(Recording(install, 1));
    // The hum comes before the reading, as it would from the microphone.
    ASSERT_TRUE(Speak(speech));
    ASSERT_TRUE(Page(install, "success", 1)) << install.log().toStdString();
    EXPECT_EQ(install.logCount("verdict 0"), 1);
    ASSERT_TRUE(ClickInCentredWindow(Wizard, FinishButton));
    ASSERT_TRUE(WaitUntil([&] { return install.logCount("recording check: closed") == 1; }));
}

TEST(RecordingCheck, SilenceFailsTurnsTheTipOnAndRetryRecordsAtOnce) {
    ClientInstallation install(QStringLiteral("recsilence"));
    SetRecTip(install, "no");
    OpenWizard(install);

    ASSERT_TRUE(ClickInCentredWindow(Wizard, StartButton));
    ASSERT_TRUE(Recording(install, 1));
    ASSERT_TRUE(Page(install, "failure", 1)) << install.log().toStdString();

    // Retry: back to the start page, and "开始" records without the sample.
    ASSERT_TRUE(ClickInCentredWindow(Wizard, RetryButton));
    ASSERT_TRUE(Page(install, "start", 2));
    ASSERT_TRUE(ClickInCentredWindow(Wizard, StartButton));
    ASSERT_TRUE(Recording(install, 2));
    EXPECT_EQ(install.logCount("recording check: status 1"), 1) << "the sample played again";
    ASSERT_TRUE(Page(install, "failure", 2));

    ASSERT_TRUE(ClickInCentredWindow(Wizard, ExitButton));
    ASSERT_TRUE(WaitUntil([&] { return install.logCount("recording check: closed") == 1; }));
    EXPECT_EQ(RecTip(install), QStringLiteral("yes"));
}

TEST(RecordingCheck, WithoutASoundServerStartShowsTheDeviceMessage) {
    ClientInstallation install(QStringLiteral("recnodevice"));
    QProcessEnvironment environment = install.environment();
    environment.remove(QStringLiteral("PULSE_SERVER"));
    install.start(environment);
    ASSERT_TRUE(WaitUntil([&] { return install.logCount(MessageLoop) == 1; }));
    ASSERT_TRUE(ClickInCentredWindow(MainWindow, SoundTestButton));
    ASSERT_TRUE(WaitUntil([&] { return install.logCount("recording check: start page") == 1; }));
    ASSERT_TRUE(ClickInCentredWindow(Wizard, StartButton));
    ASSERT_TRUE(WaitUntil([&] { return install.logCount("sound output devices: 0") == 1; }));
    ASSERT_TRUE(RunXdotool({"sleep", "0.5", "key", "Return"}));
    // The wizard stays on its start page: nothing was played or recorded.
    EXPECT_EQ(install.logCount("recording check: status"), 0);
    EXPECT_EQ(install.logCount("recording check: test page"), 0);
}

const QPoint ReplayButton(494, 282);

// With a sound server running again: "开始" records, the sentence read into the microphone
// passes, and "回放" plays the recording back.
void RecordsPassesAndPlaysBack(OwnSoundServer& server, ClientInstallation& install) {
    const int recordings = install.logCount("recording check: status 2");
    const int successes = install.logCount("recording check: success page");
    ASSERT_TRUE(ClickInCentredWindow(Wizard, StartButton));
    ASSERT_TRUE(Recording(install, recordings + 1)) << install.log().toStdString();
    QThread::msleep(1000);
    ASSERT_TRUE(server.Speak(install.dir() + QStringLiteral("/engine/bin/checkRecTip.wav")));
    ASSERT_TRUE(Page(install, "success", successes + 1)) << install.log().toStdString();
    const int plays = install.logCount("recording check: status 1");
    ASSERT_TRUE(ClickInCentredWindow(Wizard, ReplayButton));
    ASSERT_TRUE(WaitUntil([&] { return install.logCount("recording check: status 1") > plays; }))
        << install.log().toStdString();
}

// The sound server dies (SIGKILL, as a crash or a restart after a headset change does) at each
// step of the check: the client lives on, the failure page says that the sound system stopped,
// and once a new server runs the check records, judges and plays back again, without a restart
// of the client.
TEST(RecordingCheck, TheSoundServerDyingAtAnyStepShowsTheFailurePageAndAFreshServerWorks) {
    const struct {
        const char* step;
        // Brings the check to the step where the server dies; the server and install given.
        std::function<void(OwnSoundServer&, ClientInstallation&)> reach;
        // The server dies before the check opens, and "开始" is pressed without it.
        bool goneBeforeTheCheck = false;
    } cases[] = {
        {"a server gone before the check opens",
         [](OwnSoundServer&, ClientInstallation&) {
             ASSERT_TRUE(ClickInCentredWindow(Wizard, StartButton));
         },
         true},
        {"the sample",
         [](OwnSoundServer&, ClientInstallation& install) {
             ASSERT_TRUE(ClickInCentredWindow(Wizard, StartButton));
             ASSERT_TRUE(
                 WaitUntil([&] { return install.logCount("recording check: status 1") == 1; }));
         }},
        {"the ding",
         [](OwnSoundServer&, ClientInstallation& install) {
             ASSERT_TRUE(ClickInCentredWindow(Wizard, StartButton));
             ASSERT_TRUE(
                 WaitUntil([&] { return install.logCount("sound ding.wav playing") == 1; }));
         }},
        {"the recording and its level meter",
         [](OwnSoundServer&, ClientInstallation& install) {
             ASSERT_TRUE(ClickInCentredWindow(Wizard, StartButton));
             ASSERT_TRUE(Recording(install, 1));
             QThread::msleep(1500);
         }},
        {"回放",
         [](OwnSoundServer& server, ClientInstallation& install) {
             ASSERT_TRUE(ClickInCentredWindow(Wizard, StartButton));
             ASSERT_TRUE(Recording(install, 1));
             ASSERT_TRUE(
                 server.Speak(install.dir() + QStringLiteral("/engine/bin/checkRecTip.wav")));
             ASSERT_TRUE(Page(install, "success", 1)) << install.log().toStdString();
             ASSERT_TRUE(ClickInCentredWindow(Wizard, ReplayButton));
             ASSERT_TRUE(
                 WaitUntil([&] { return install.logCount("recording check: status 1") == 2; }));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.step);
        OwnSoundServer server;
        ASSERT_TRUE(server.Start());
        ClientInstallation install(QStringLiteral("recserverdies"));
        QProcessEnvironment environment = install.environment();
        environment.insert(QStringLiteral("PULSE_SERVER"), server.Address());
        QProcess* client = install.start(environment);
        ASSERT_TRUE(WaitUntil([&] { return install.logCount(MessageLoop) == 1; }));
        if (c.goneBeforeTheCheck) {
            ASSERT_TRUE(server.Crash());
        }
        ASSERT_TRUE(ClickInCentredWindow(MainWindow, SoundTestButton));
        ASSERT_TRUE(
            WaitUntil([&] { return install.logCount("recording check: start page") == 1; }));
        c.reach(server, install);
        if (::testing::Test::HasFatalFailure())
            return;

        if (c.goneBeforeTheCheck) {
            // Without a server there is no output device: the device message, and the client
            // goes on.
            ASSERT_TRUE(WaitUntil([&] { return install.logCount("sound output devices: 0") == 1; }))
                << install.log().toStdString();
            ASSERT_TRUE(RunXdotool({"sleep", "0.5", "key", "Return"}));
            ASSERT_TRUE(Page(install, "start", 1));
            EXPECT_EQ(install.logCount("recording check: status"), 0);
            ASSERT_TRUE(Alive(client)) << install.log().toStdString();
            install.killAll();
            continue;
        }
        ASSERT_TRUE(server.Crash());
        const bool failurePage = Page(install, "failure", 1);
        ASSERT_TRUE(Alive(client)) << install.log().toStdString();
        ASSERT_TRUE(failurePage) << install.log().toStdString();

        // A new server, and "重试": the check records, judges and plays back anew.
        ASSERT_TRUE(server.Start());
        ASSERT_TRUE(ClickInCentredWindow(Wizard, RetryButton));
        ASSERT_TRUE(Page(install, "start", 2));
        RecordsPassesAndPlaysBack(server, install);
        if (::testing::Test::HasFatalFailure())
            return;
        ASSERT_TRUE(Alive(client));
        install.killAll();
    }
}

// Clearly longer than the three seconds after which the engine of Qt Multimedia looks for a
// new sound server, the only time it does.
constexpr unsigned long LongAfterTheLossMs = 8000;

// A sound server that comes back long after the last one stopped is found without a restart of
// the client: by "重试" after a loss during the recording, and by "开始" pressed again after the
// device message of a server gone before the check opened.
TEST(RecordingCheck, ASoundServerBackLongAfterTheLossRecordsAndPlaysAgain) {
    for (const bool goneBeforeTheCheck : {false, true}) {
        SCOPED_TRACE(goneBeforeTheCheck ? "gone before the check opens" : "lost while recording");
        OwnSoundServer server;
        ASSERT_TRUE(server.Start());
        ClientInstallation install(QStringLiteral("recserverback"));
        QProcessEnvironment environment = install.environment();
        environment.insert(QStringLiteral("PULSE_SERVER"), server.Address());
        QProcess* client = install.start(environment);
        ASSERT_TRUE(WaitUntil([&] { return install.logCount(MessageLoop) == 1; }));
        if (goneBeforeTheCheck) {
            ASSERT_TRUE(server.Crash());
        }
        ASSERT_TRUE(ClickInCentredWindow(MainWindow, SoundTestButton));
        ASSERT_TRUE(
            WaitUntil([&] { return install.logCount("recording check: start page") == 1; }));
        ASSERT_TRUE(ClickInCentredWindow(Wizard, StartButton));
        if (goneBeforeTheCheck) {
            ASSERT_TRUE(WaitUntil([&] { return install.logCount("sound output devices: 0") == 1; }))
                << install.log().toStdString();
            ASSERT_TRUE(RunXdotool({"sleep", "0.5", "key", "Return"}));
            ASSERT_TRUE(Page(install, "start", 1));
        } else {
            ASSERT_TRUE(Recording(install, 1));
            ASSERT_TRUE(server.Crash());
            ASSERT_TRUE(Page(install, "failure", 1)) << install.log().toStdString();
        }
        QThread::msleep(LongAfterTheLossMs);
        ASSERT_TRUE(server.Start());
        if (!goneBeforeTheCheck) {
            ASSERT_TRUE(ClickInCentredWindow(Wizard, RetryButton));
            ASSERT_TRUE(Page(install, "start", 2));
        }
        RecordsPassesAndPlaysBack(server, install);
        if (::testing::Test::HasFatalFailure())
            return;
        ASSERT_TRUE(Alive(client)) << install.log().toStdString();
        install.killAll();
    }
}

// A missing or broken audio editor module: the start-up message, then the client ends.
TEST(RecordingCheck, ABrokenAudioEditorModuleEndsTheClientAfterTheMessage) {
    for (const bool present : {false, true}) {
        ClientInstallation install(present ? QStringLiteral("modtext")
                                           : QStringLiteral("modmissing"));
        const QString module = install.dir() + QStringLiteral("/AudioEditor.ocx");
        ASSERT_TRUE(QFile::remove(module));
        if (present) {
            QFile text(module);
            ASSERT_TRUE(text.open(QIODevice::WriteOnly));
            text.write("not a library\n");
        }
        QProcess* client = install.start();
        ASSERT_TRUE(WaitUntil(
            [&] { return install.logCount("message box: 加载系统需要的组件失败。") == 1; }));
        EXPECT_EQ(install.logCount(MessageLoop), 0);
        ASSERT_TRUE(RunXdotool({"sleep", "0.3", "key", "Return"}));
        // The splash still shows, the main window briefly, then the normal shutdown.
        ASSERT_TRUE(client->waitForFinished(30000)) << install.log().toStdString();
        EXPECT_EQ(install.logCount(MessageLoop), 1);
        EXPECT_EQ(install.logCount("shutdown: closing the log"), 1);
    }
}

} // namespace
