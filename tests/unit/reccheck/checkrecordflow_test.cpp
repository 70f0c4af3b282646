#include "fakeaudiocontrols.h"
#include "reccheck/checkrecordflow.h"
#include "reccheck/failureline.h"
#include "reccheck/rectip.h"
#include "reccheck/verdictcode.h"
#include "support/qtprint.h"
#include "system/settings.h"

#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

namespace {

const QString ProgramFolder = QStringLiteral("/opt/parvelo/");
const QString RecordFile = QStringLiteral("/opt/parvelo/tmp/RecordTestFile.wav");
const QString PromptFile = QStringLiteral("/opt/engine/bin/checkRecTip.wav");
const QString DingFile = QStringLiteral("/opt/engine/bin/ding.wav");

// The world around the wizard, as the flow sees it.
struct FakeWorld {
    bool soundDevice = true;
    // Whether the sound system plays the ding.
    bool soundPlays = true;
    bool recTipOn = true;
    bool timerRunning = false;
    QStringList sounds;
    int pauses = 0;
    std::optional<QString> written;
    bool writable = true;
    bool recordingPlayable = true;
    QStringList playabilityAsked;
};

class CheckRecordFlowTest : public ::testing::Test {
protected:
    FakeAudioControls controls;
    FakeWorld world;
    QWidget page;
    std::unique_ptr<TCheckRecordFlow> flow;

    void Create() {
        CheckRecordEnvironment environment;
        environment.checkSoundDevice = [this] { return world.soundDevice; };
        environment.playSoundSync = [this](const QString& path) {
            world.sounds << path;
            return world.soundPlays;
        };
        environment.pauseBeforeResult = [this] { ++world.pauses; };
        environment.setTimerRunning = [this](bool running) { world.timerRunning = running; };
        environment.isRecTipOn = [this] { return world.recTipOn; };
        environment.writeRecTip = [this](const QString& value) {
            if (!world.writable)
                return false;
            world.written = value;
            world.recTipOn = RecTipValueIsOn(value);
            return true;
        };
        environment.isPlayableRecording = [this](const QString& path) {
            world.playabilityAsked << path;
            return world.recordingPlayable;
        };
        flow = std::make_unique<TCheckRecordFlow>(controls.CreateAudioUtil(), controls.CreateECL(),
                                                  controls.CreateMicLevel(&page),
                                                  std::move(environment), ProgramFolder);
        flow->FormCreate();
        flow->FormShow();
        controls.journal.calls.clear();
    }

    // From Ready through the sample and the ding to the running countdown.
    void StartRecording() {
        flow->RzBmpButton2Click();
        flow->VyraAudioUtil1StatusChange(AudioPlaying);
        flow->VyraAudioUtil1StatusChange(AudioIdle);
    }

    void RunCountdown() {
        for (int tick = 0; tick <= CountdownSeconds; ++tick)
            flow->tmr1Timer();
    }

    const CheckRecordView& View() const { return flow->View(); }
    const QStringList& Calls() const { return controls.journal.calls; }
};

TEST_F(CheckRecordFlowTest, CreationBuildsThePathsFromTheEngineAndProgramFolders) {
    Create();
    EXPECT_EQ(flow->recordFile(), RecordFile);
    EXPECT_EQ(flow->promptFile(), PromptFile);
    EXPECT_EQ(flow->dingFile(), DingFile);
    EXPECT_FALSE(flow->retryMode());
    EXPECT_EQ(View().page, StartPage);
    EXPECT_EQ(View().progressTotal, CountdownSeconds);
    EXPECT_FALSE(world.timerRunning);
}

TEST_F(CheckRecordFlowTest, CheckPassedStartsAsTheNegationOfTheTip) {
    for (const bool tipOn : {true, false}) {
        world.recTipOn = tipOn;
        Create();
        EXPECT_EQ(flow->checkPassed(), !tipOn) << "tip on " << tipOn;
    }
}

TEST_F(CheckRecordFlowTest, StartWithoutSoundDeviceTouchesNothing) {
    world.soundDevice = false;
    Create();
    flow->RzBmpButton2Click();
    EXPECT_TRUE(Calls().isEmpty()) << Calls().join(", ").toStdString();
    EXPECT_EQ(View().page, StartPage);
    EXPECT_TRUE(View().startCloseEnabled);
    EXPECT_TRUE(View().testCloseEnabled);
}

TEST_F(CheckRecordFlowTest, StartPlaysTheSampleOnTheTestPageWithBothClosesDisabled) {
    Create();
    flow->RzBmpButton2Click();
    EXPECT_EQ(Calls(), QStringList({"SetFileName " + PromptFile, "Play"}));
    EXPECT_EQ(View().page, TestPage);
    EXPECT_FALSE(View().startCloseEnabled);
    EXPECT_FALSE(View().testCloseEnabled);
    EXPECT_FALSE(world.timerRunning);
}

TEST_F(CheckRecordFlowTest, TheSampleEndingDingsThenRecordsOnce) {
    Create();
    StartRecording();
    EXPECT_EQ(world.sounds, QStringList{DingFile});
    EXPECT_EQ(Calls(),
              QStringList({"SetFileName " + PromptFile, "Play",
                           "SetBackgroundImage /opt/engine/bin/revirode_sound_bg.bmp",
                           "SetForegroundImage /opt/engine/bin/revirode_sound_fg.bmp",
                           "SetSampleRate 16000", "SetSampleSize 16", "SetNewDataNotifyEnabled 1",
                           "PrepareRecord", "StartRecord", "StartMeter"}));
    EXPECT_EQ(flow->remainSeconds(), CountdownSeconds);
    EXPECT_EQ(View().countdown, QStringLiteral("剩余10秒     "));
    EXPECT_TRUE(View().meterVisible);
    EXPECT_TRUE(View().progressVisible);
    EXPECT_TRUE(View().micIconVisible);
    EXPECT_EQ(View().progressDone, 0);
    EXPECT_FALSE(View().testCloseEnabled);
    EXPECT_TRUE(world.timerRunning);

    // A repeated idle report, even without a recording status between, only enables the
    // start page's close: the recording is not started twice.
    flow->VyraAudioUtil1StatusChange(AudioIdle);
    EXPECT_EQ(controls.journal.Count("PrepareRecord"), 1);
    EXPECT_EQ(world.sounds.size(), 1);
    EXPECT_TRUE(View().startCloseEnabled);
    EXPECT_FALSE(View().testCloseEnabled);
}

TEST_F(CheckRecordFlowTest, IdleBeforeAnyOtherStatusOnlyEnablesTheStartClose) {
    Create();
    flow->RzBmpButton2Click();
    flow->VyraAudioUtil1StatusChange(AudioIdle);
    EXPECT_TRUE(View().startCloseEnabled);
    EXPECT_FALSE(View().testCloseEnabled);
    EXPECT_EQ(controls.journal.Count("PrepareRecord"), 0);
    EXPECT_TRUE(world.sounds.isEmpty());
}

TEST_F(CheckRecordFlowTest, RecordingStatusIsRememberedWithoutStartingAnything) {
    Create();
    flow->RzBmpButton2Click();
    flow->VyraAudioUtil1StatusChange(AudioRecording);
    flow->VyraAudioUtil1StatusChange(AudioIdle);
    EXPECT_EQ(flow->lastStatus(), AudioRecording);
    EXPECT_EQ(controls.journal.Count("PrepareRecord"), 0);
}

TEST_F(CheckRecordFlowTest, CountdownRunsTenTicksAndTheEleventhEndsTheRecording) {
    Create();
    StartRecording();
    controls.journal.calls.clear();
    for (int tick = 1; tick <= CountdownSeconds; ++tick) {
        flow->tmr1Timer();
        EXPECT_EQ(View().countdown, QStringLiteral("剩余%1秒     ").arg(10 - tick)) << tick;
        EXPECT_EQ(View().progressDone, tick) << tick;
        EXPECT_TRUE(world.timerRunning);
    }
    EXPECT_TRUE(Calls().isEmpty()) << Calls().join(", ").toStdString();
    EXPECT_EQ(View().page, TestPage);

    flow->tmr1Timer();
    EXPECT_FALSE(world.timerRunning);
    EXPECT_EQ(Calls(), QStringList({"Stop", "StopMeter", "SaveRecord " + RecordFile,
                                    "CheckRecordFile " + RecordFile}));
    EXPECT_EQ(world.pauses, 1);
    EXPECT_EQ(View().page, SuccessPage);
    EXPECT_EQ(View().progressDone, CountdownSeconds);
}

TEST_F(CheckRecordFlowTest, VerdictChoosesThePage) {
    const struct {
        int verdict;
        CheckRecordPage page;
    } cases[] = {{0, SuccessPage},
                 {1, FailurePage},
                 {-1, FailurePage},
                 {6, FailurePage},
                 {65536, FailurePage}};
    for (const auto& c : cases) {
        controls.journal.verdict = c.verdict;
        Create();
        StartRecording();
        RunCountdown();
        EXPECT_EQ(View().page, c.page) << "verdict " << c.verdict;
        EXPECT_EQ(flow->checkPassed(), c.verdict == 0) << "verdict " << c.verdict;
    }
}

TEST_F(CheckRecordFlowTest, RetryRecordsAtOnceWithoutSampleOrDing) {
    controls.journal.verdict = 3;
    Create();
    StartRecording();
    RunCountdown();
    flow->RzBmpButton8Click();
    EXPECT_EQ(View().page, StartPage);
    EXPECT_TRUE(View().replayVisible);
    EXPECT_TRUE(flow->retryMode());

    controls.journal.calls.clear();
    world.sounds.clear();
    flow->RzBmpButton2Click();
    EXPECT_EQ(View().page, TestPage);
    EXPECT_EQ(Calls().count("Play"), 0);
    EXPECT_EQ(Calls().count("StartRecord"), 1);
    EXPECT_TRUE(world.sounds.isEmpty());
    EXPECT_EQ(View().countdown, QStringLiteral("剩余10秒     "));
    EXPECT_TRUE(world.timerRunning);
}

TEST_F(CheckRecordFlowTest, ReplayPlaysTheSampleAndItsEndOnlyReenablesTheClose) {
    controls.journal.verdict = 3;
    Create();
    StartRecording();
    RunCountdown();
    flow->RzBmpButton8Click();
    controls.journal.calls.clear();

    flow->RzBmpButton9Click();
    EXPECT_EQ(Calls(), QStringList({"SetFileName " + PromptFile, "Play"}));
    EXPECT_FALSE(View().startCloseEnabled);
    EXPECT_EQ(View().page, StartPage);
    flow->VyraAudioUtil1StatusChange(AudioPlaying);
    flow->VyraAudioUtil1StatusChange(AudioIdle);
    EXPECT_TRUE(View().startCloseEnabled);
    EXPECT_EQ(controls.journal.Count("StartRecord"), 0);
    EXPECT_EQ(View().page, StartPage);
}

TEST_F(CheckRecordFlowTest, CloseDestroysTheRecorderAndEngineAndStopsTheTimer) {
    Create();
    StartRecording();
    flow->FormClose();
    EXPECT_FALSE(world.timerRunning);
    EXPECT_TRUE(flow->Closed());
    EXPECT_EQ(controls.journal.Count("AudioUtil destroyed"), 1);
    EXPECT_EQ(controls.journal.Count("ECL destroyed"), 1);
}

TEST_F(CheckRecordFlowTest, CloseWritesTheTipByTheLastVerdict) {
    const struct {
        const char* name;
        bool tipOn;
        std::optional<int> verdict; // none: closed before any verdict
        std::optional<QString> written;
    } cases[] = {
        {"no verdict, tip on", true, std::nullopt, std::nullopt},
        {"no verdict, tip off", false, std::nullopt, std::nullopt},
        {"pass, tip on", true, 0, QStringLiteral("no")},
        {"pass, tip off", false, 0, std::nullopt},
        {"failure, tip on", true, 2, std::nullopt},
        {"failure, tip off", false, 2, QStringLiteral("yes")},
    };
    for (const auto& c : cases) {
        world = FakeWorld{};
        world.recTipOn = c.tipOn;
        controls.journal.verdict = c.verdict.value_or(0);
        Create();
        if (c.verdict) {
            StartRecording();
            RunCountdown();
        }
        flow->FormClose();
        EXPECT_EQ(world.written, c.written) << c.name;
    }
}

TEST_F(CheckRecordFlowTest, FailureThenRetryAndPassLeavesTheTipOff) {
    world.recTipOn = true;
    controls.journal.verdict = 2;
    Create();
    StartRecording();
    RunCountdown();
    flow->RzBmpButton8Click();
    controls.journal.verdict = 0;
    flow->RzBmpButton2Click();
    RunCountdown();
    EXPECT_EQ(View().page, SuccessPage);
    flow->FormClose();
    EXPECT_EQ(world.written, QStringLiteral("no"));
}

TEST_F(CheckRecordFlowTest, UnwritableSettingsAreSwallowedAtClose) {
    world.recTipOn = true;
    world.writable = false;
    Create();
    StartRecording();
    RunCountdown();
    EXPECT_NO_THROW(flow->FormClose());
    EXPECT_TRUE(world.recTipOn);
}

TEST_F(CheckRecordFlowTest, AFailingControlLeavesTheStudentAWayOut) {
    const struct {
        const char* failing;
        CheckRecordPage page;
    } cases[] = {
        {"Play", TestPage},       {"PrepareRecord", TestPage},   {"StartRecord", TestPage},
        {"SaveRecord", TestPage}, {"CheckRecordFile", TestPage}, {"StartMeter", TestPage},
    };
    for (const auto& c : cases) {
        controls.journal.failing.clear();
        Create();
        controls.journal.failing = c.failing;
        EXPECT_THROW(
            {
                StartRecording();
                RunCountdown();
            },
            std::runtime_error)
            << c.failing;
        EXPECT_EQ(View().page, c.page) << c.failing;
        EXPECT_TRUE(View().startCloseEnabled) << c.failing;
        EXPECT_TRUE(View().testCloseEnabled) << c.failing;
    }
}

TEST_F(CheckRecordFlowTest, AFailingReplayReenablesTheStartClose) {
    controls.journal.verdict = 1;
    Create();
    StartRecording();
    RunCountdown();
    flow->RzBmpButton8Click();
    controls.journal.failing = QStringLiteral("Play");
    EXPECT_THROW(flow->RzBmpButton9Click(), std::runtime_error);
    EXPECT_TRUE(View().startCloseEnabled);
}

TEST_F(CheckRecordFlowTest, TheFailurePageSaysWhatTheVerdictFound) {
    for (const int verdict : {0, 2, 6, 1}) {
        controls.journal.verdict = verdict;
        Create();
        StartRecording();
        RunCountdown();
        EXPECT_EQ(View().failureLine, FailureLine(verdict)) << "verdict " << verdict;
    }
}

TEST_F(CheckRecordFlowTest, ReplayOfTheRecordingIsOfferedOnlyForAPlayableFile) {
    for (const bool playable : {true, false}) {
        world.recordingPlayable = playable;
        world.playabilityAsked.clear();
        Create();
        StartRecording();
        EXPECT_FALSE(View().recordingReplayEnabled);
        RunCountdown();
        EXPECT_EQ(world.playabilityAsked, QStringList{RecordFile});
        EXPECT_EQ(View().recordingReplayEnabled, playable);

        controls.journal.calls.clear();
        flow->ReplayRecordingClick();
        EXPECT_EQ(Calls().count("Play"), playable ? 1 : 0) << "playable " << playable;
    }
}

// The replayed recording's end must not pass for the sample's end: in the first run that would
// ding and record again behind the result page.
TEST_F(CheckRecordFlowTest, ReplayPlaysTheRecordingAndItsEndStartsNothing) {
    for (const int verdict : {0, 4}) {
        controls.journal.verdict = verdict;
        Create();
        StartRecording();
        RunCountdown();
        const CheckRecordPage resultPage = View().page;
        controls.journal.calls.clear();
        world.sounds.clear();

        flow->ReplayRecordingClick();
        EXPECT_EQ(Calls(), QStringList({"SetFileName " + RecordFile, "Play"}));
        EXPECT_TRUE(View().recordingReplaying);
        flow->VyraAudioUtil1StatusChange(AudioPlaying);
        flow->VyraAudioUtil1StatusChange(AudioIdle);
        EXPECT_FALSE(View().recordingReplaying);
        EXPECT_TRUE(View().recordingReplayEnabled);
        EXPECT_TRUE(world.sounds.isEmpty()) << "verdict " << verdict;
        EXPECT_EQ(Calls().count("StartRecord"), 0) << "verdict " << verdict;
        EXPECT_EQ(View().page, resultPage);

        // And it plays again.
        flow->ReplayRecordingClick();
        EXPECT_EQ(Calls().count("Play"), 2);
    }
}

TEST_F(CheckRecordFlowTest, ReplayStopsWhenPressedAgainOrWhenRetryLeavesThePage) {
    controls.journal.verdict = 4;
    Create();
    StartRecording();
    RunCountdown();
    controls.journal.calls.clear();

    flow->ReplayRecordingClick();
    flow->VyraAudioUtil1StatusChange(AudioPlaying);
    flow->ReplayRecordingClick();
    EXPECT_EQ(Calls(), QStringList({"SetFileName " + RecordFile, "Play", "Stop"}));
    EXPECT_FALSE(View().recordingReplaying);
    // The stopped player's idle report changes nothing.
    flow->VyraAudioUtil1StatusChange(AudioIdle);
    EXPECT_EQ(Calls().count("StartRecord"), 0);

    controls.journal.calls.clear();
    flow->ReplayRecordingClick();
    flow->VyraAudioUtil1StatusChange(AudioPlaying);
    flow->RzBmpButton8Click();
    EXPECT_EQ(Calls(), QStringList({"SetFileName " + RecordFile, "Play", "Stop"}));
    EXPECT_EQ(View().page, StartPage);
    EXPECT_FALSE(View().recordingReplaying);
    // Retry then records as before.
    controls.journal.calls.clear();
    flow->RzBmpButton2Click();
    EXPECT_EQ(Calls().count("StartRecord"), 1);
}

TEST_F(CheckRecordFlowTest, ARecordingThePlayerRefusesDisablesReplay) {
    controls.journal.verdict = 6;
    Create();
    StartRecording();
    RunCountdown();
    controls.journal.failing = QStringLiteral("Play");
    EXPECT_THROW(flow->ReplayRecordingClick(), std::runtime_error);
    EXPECT_FALSE(View().recordingReplaying);
    EXPECT_FALSE(View().recordingReplayEnabled);
    EXPECT_EQ(View().page, FailurePage);
}

// The sound server stops (it crashed, or was restarted after a headset change) at each step
// of the check: the failure page says so, the student can leave, and "重试" records anew.
TEST_F(CheckRecordFlowTest, TheSoundSystemStoppingAtAnyStepShowsTheFailurePageAndRetryRecords) {
    const struct {
        const char* step;
        std::function<void()> run;
        int verdicts; // recordings checked before the sound system stopped
    } cases[] = {
        {"the sample",
         [this] {
             flow->RzBmpButton2Click();
             flow->VyraAudioUtil1StatusChange(AudioPlaying);
             flow->VyraAudioUtil1StatusChange(AudioDeviceLost);
         },
         0},
        {"the ding",
         [this] {
             world.soundPlays = false;
             StartRecording();
         },
         0},
        {"the ding's end, the microphone lost as it opens",
         [this] {
             controls.journal.losing = QStringLiteral("StartRecord");
             StartRecording();
             controls.journal.losing.clear();
         },
         0},
        {"the sample, the output lost as it opens",
         [this] {
             controls.journal.losing = QStringLiteral("Play");
             flow->RzBmpButton2Click();
             controls.journal.losing.clear();
         },
         0},
        {"the recording with its meter, at its start",
         [this] {
             StartRecording();
             flow->VyraAudioUtil1StatusChange(AudioRecording);
             flow->VyraAudioUtil1StatusChange(AudioDeviceLost);
         },
         0},
        {"the recording with its meter, in the countdown",
         [this] {
             StartRecording();
             flow->VyraAudioUtil1StatusChange(AudioRecording);
             for (int tick = 0; tick < 4; ++tick)
                 flow->tmr1Timer();
             flow->VyraAudioUtil1StatusChange(AudioDeviceLost);
         },
         0},
        {"the sample played again on the start page",
         [this] {
             controls.journal.verdict = VerdictNoSpeech;
             StartRecording();
             RunCountdown();
             controls.journal.verdict = VerdictPass;
             flow->RzBmpButton8Click();
             flow->RzBmpButton9Click();
             flow->VyraAudioUtil1StatusChange(AudioPlaying);
             flow->VyraAudioUtil1StatusChange(AudioDeviceLost);
         },
         1},
        {"回放 on the success page",
         [this] {
             StartRecording();
             RunCountdown();
             flow->ReplayRecordingClick();
             flow->VyraAudioUtil1StatusChange(AudioPlaying);
             flow->VyraAudioUtil1StatusChange(AudioDeviceLost);
         },
         1},
    };
    for (const auto& c : cases) {
        world = FakeWorld();
        Create();
        c.run();
        EXPECT_EQ(View().page, FailurePage) << c.step;
        EXPECT_EQ(View().failureLine, SoundSystemStoppedLine()) << c.step;
        EXPECT_FALSE(world.timerRunning) << c.step;
        EXPECT_TRUE(View().startCloseEnabled) << c.step;
        EXPECT_TRUE(View().testCloseEnabled) << c.step;
        EXPECT_FALSE(View().recordingReplaying) << c.step;
        EXPECT_FALSE(View().recordingReplayEnabled) << c.step;
        EXPECT_FALSE(View().progressVisible) << c.step;
        EXPECT_FALSE(View().meterVisible) << c.step;
        EXPECT_EQ(Calls().count("CheckRecordFile " + RecordFile), c.verdicts) << c.step;

        // The sound system is back: retry records at once.
        world.soundPlays = true;
        controls.journal.calls.clear();
        flow->RzBmpButton8Click();
        EXPECT_EQ(View().page, StartPage) << c.step;
        flow->RzBmpButton2Click();
        EXPECT_EQ(View().page, TestPage) << c.step;
        EXPECT_EQ(Calls().count("StartRecord"), 1) << c.step;
        EXPECT_EQ(Calls().count("StartMeter"), 1) << c.step;
        EXPECT_TRUE(world.timerRunning) << c.step;
        EXPECT_TRUE(View().meterVisible) << c.step;
        EXPECT_TRUE(View().progressVisible) << c.step;
        RunCountdown();
        EXPECT_EQ(View().page, SuccessPage) << c.step;
        EXPECT_TRUE(View().failureLine.isEmpty()) << c.step;
    }
}

TEST(CountdownText, KeepsFiveSpacesAfterTheUnit) {
    EXPECT_EQ(CountdownText(10), QStringLiteral("剩余10秒     "));
    EXPECT_EQ(CountdownText(0), QStringLiteral("剩余0秒     "));
}

TEST(RecTipChange, WritesOnlyWhatChangesTheSetting) {
    const struct {
        bool turnOff;
        bool tipOn;
        std::optional<QString> value;
    } cases[] = {
        {true, true, QStringLiteral("no")},
        {true, false, std::nullopt},
        {false, true, std::nullopt},
        {false, false, QStringLiteral("yes")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RecTipChange(c.turnOff, c.tipOn), c.value)
            << "turn off " << c.turnOff << ", tip on " << c.tipOn;
}

} // namespace
