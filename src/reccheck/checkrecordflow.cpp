#include "reccheck/checkrecordflow.h"

#include "reccheck/failureline.h"
#include "reccheck/rectip.h"

#include <utility>

QString CountdownText(int remainSeconds) {
    return QStringLiteral("剩余%1秒     ").arg(remainSeconds);
}

TCheckRecordFlow::TCheckRecordFlow(std::unique_ptr<TVyraAudioUtil> audio,
                                   std::unique_ptr<TVyraECL> engine, TVyraMicLevel* meter,
                                   CheckRecordEnvironment environment, const QString& programDir)
    : audio_(std::move(audio)), engine_(std::move(engine)), meter_(meter),
      environment_(std::move(environment)), programDir_(programDir) {}

void TCheckRecordFlow::Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const TAudioDeviceLost&) {
        SoundSystemStopped();
    } catch (...) {
        // The test page disables both close buttons; a failed control must not trap the
        // student inside the modal wizard.
        view_.startCloseEnabled = true;
        view_.testCloseEnabled = true;
        throw;
    }
}

void TCheckRecordFlow::FormCreate() {
    recordFile_ = programDir_ + QStringLiteral("tmp/RecordTestFile.wav");
    engineDir_ = engine_->EngineDir();
    promptFile_ = engineDir_ + QStringLiteral("bin/checkRecTip.wav");
    dingFile_ = engineDir_ + QStringLiteral("bin/ding.wav");
    checkPassed_ = !environment_.isRecTipOn();
    retryMode_ = false;
}

void TCheckRecordFlow::FormShow() {
    environment_.setTimerRunning(false);
    view_.progressTotal = CountdownSeconds;
    view_.page = StartPage;
}

void TCheckRecordFlow::RzBmpButton2Click() {
    Guarded([this] {
        if (!environment_.checkSoundDevice())
            return;
        view_.page = TestPage;
        view_.testCloseEnabled = false;
        view_.startCloseEnabled = false;
        if (retryMode_) {
            BeginCheckRec();
            return;
        }
        audio_->SetFileName(promptFile_);
        audio_->Play();
    });
}

void TCheckRecordFlow::RzBmpButton9Click() {
    Guarded([this] {
        view_.startCloseEnabled = false;
        audio_->SetFileName(promptFile_);
        audio_->Play();
    });
}

void TCheckRecordFlow::RzBmpButton8Click() {
    Guarded([this] {
        StopRecordingReplay();
        view_.page = StartPage;
        view_.replayVisible = true;
        retryMode_ = true;
    });
}

void TCheckRecordFlow::ReplayRecordingClick() {
    Guarded([this] {
        if (view_.recordingReplaying) {
            StopRecordingReplay();
            return;
        }
        if (!view_.recordingReplayEnabled)
            return;
        audio_->SetFileName(recordFile_);
        // The player reports its start at once, and that status belongs to the replay.
        view_.recordingReplaying = true;
        try {
            audio_->Play();
        } catch (...) {
            view_.recordingReplaying = false;
            view_.recordingReplayEnabled = false;
            throw;
        }
    });
}

void TCheckRecordFlow::StopRecordingReplay() {
    if (!view_.recordingReplaying)
        return;
    audio_->Stop();
    view_.recordingReplaying = false;
}

void TCheckRecordFlow::VyraAudioUtil1StatusChange(int status) {
    Guarded([this, status] {
        if (status == AudioDeviceLost) {
            SoundSystemStopped();
            return;
        }
        // The replayed recording's statuses say nothing about the sample or a recording.
        if (view_.recordingReplaying) {
            if (status == AudioIdle)
                view_.recordingReplaying = false;
            return;
        }
        if (status != AudioIdle) {
            lastStatus_ = status;
            return;
        }
        if (!retryMode_ && lastStatus_ == AudioPlaying) {
            // The sample's end is used once: a repeated idle report must not start a second
            // recording over the running one.
            lastStatus_ = AudioIdle;
            if (!environment_.playSoundSync(dingFile_)) {
                SoundSystemStopped();
                return;
            }
            view_.testCloseEnabled = true;
            BeginCheckRec();
            return;
        }
        view_.startCloseEnabled = true;
    });
}

void TCheckRecordFlow::BeginCheckRec() {
    view_.testCloseEnabled = false;
    environment_.setTimerRunning(false);
    view_.progressDone = 0;
    view_.countdown.clear();

    remainSeconds_ = CountdownSeconds;
    view_.meterVisible = true;
    meter_->SetBackgroundImage(engineDir_ + QStringLiteral("bin/revirode_sound_bg.bmp"));
    meter_->SetForegroundImage(engineDir_ + QStringLiteral("bin/revirode_sound_fg.bmp"));

    audio_->SetSampleRate(16000);
    audio_->SetSampleSize(16);
    audio_->SetNewDataNotifyEnabled(true);
    audio_->PrepareRecord();
    audio_->StartRecord();

    meter_->StartMeter();

    remainSeconds_ = CountdownSeconds;
    view_.progressVisible = true;
    view_.countdown = CountdownText(remainSeconds_);
    view_.micIconVisible = true;
    environment_.setTimerRunning(true);
}

void TCheckRecordFlow::tmr1Timer() {
    Guarded([this] {
        if (remainSeconds_ > 0) {
            view_.progressDone = CountdownSeconds + 1 - remainSeconds_;
            --remainSeconds_;
            view_.countdown = CountdownText(remainSeconds_);
            return;
        }
        environment_.setTimerRunning(false);
        audio_->Stop();
        meter_->StopMeter();
        audio_->SaveRecord(recordFile_);
        const int verdict = engine_->CheckRecordFile(recordFile_);
        checkPassed_ = verdict == 0;
        environment_.pauseBeforeResult();
        showTab(verdict);
    });
}

// Whatever was playing or recording: the failure page says so, and "重试" starts a new
// recording once the sound system is back. A check cut short gives no verdict: the tip follows
// the last one.
void TCheckRecordFlow::SoundSystemStopped() {
    environment_.setTimerRunning(false);
    meter_->StopMeter();
    lastStatus_ = AudioIdle;
    view_.recordingReplaying = false;
    view_.recordingReplayEnabled = false;
    view_.progressVisible = false;
    view_.meterVisible = false;
    view_.micIconVisible = false;
    view_.countdown.clear();
    view_.startCloseEnabled = true;
    view_.testCloseEnabled = true;
    view_.page = FailurePage;
    view_.failureLine = SoundSystemStoppedLine();
}

void TCheckRecordFlow::showTab(int failed) {
    view_.page = failed == 0 ? SuccessPage : FailurePage;
    view_.failureLine = FailureLine(failed);
    view_.recordingReplayEnabled = environment_.isPlayableRecording(recordFile_);
}

void TCheckRecordFlow::FormClose() {
    environment_.setTimerRunning(false);
    // Destroying the player also ends a replay of the recording.
    audio_.reset();
    engine_.reset();
    saveTipConfig(checkPassed_);
}

void TCheckRecordFlow::saveTipConfig(bool passed) {
    // A setting that cannot be written keeps its old value; the wizard says nothing.
    if (const std::optional<QString> value = RecTipChange(passed, environment_.isRecTipOn()))
        environment_.writeRecTip(*value);
}
