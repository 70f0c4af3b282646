#pragma once

#include "reccheck/audiocontrols.h"

#include <QString>
#include <functional>
#include <memory>

// The microphone check's logic, apart from its window: what each click, timer tick and
// recorder status does to the controls and to what the window shows. TCheckRecord paints
// View() after every handler.

// The pages, by their index in the wizard's page container.
enum CheckRecordPage {
    TestPage = 0,
    SuccessPage = 1,
    FailurePage = 2,
    StartPage = 3,
};

constexpr int CountdownSeconds = 10;

// What the wizard's window shows, control by control.
struct CheckRecordView {
    CheckRecordPage page = StartPage;
    bool startCloseEnabled = true; // RzBmpButton1, close on the start page
    bool testCloseEnabled = true;  // RzBmpButton3, close on the test page
    bool replayVisible = false;    // RzBmpButton9, the loudspeaker
    bool meterVisible = false;     // VyraMicLevel1
    bool progressVisible = false;  // RzProgressStatus1
    int progressTotal = 0;
    int progressDone = 0;
    QString countdown;           // lbl1
    bool micIconVisible = false; // img5
    // The failure page's line under its picture: what the verdict found.
    QString failureLine;
    // "回放" on the result pages: plays the recording back; held down while it plays.
    bool recordingReplayEnabled = false;
    bool recordingReplaying = false;
};

// What the wizard needs from around it; the tests replace each part.
struct CheckRecordEnvironment {
    // False when there is no sound output device (the user has been told).
    std::function<bool()> checkSoundDevice;
    // Plays a short sound and returns when it has ended; false when the sound system could not
    // play it (no output device, or it stopped).
    std::function<bool(const QString& path)> playSoundSync;
    // The fixed pause between the verdict and its page.
    std::function<void()> pauseBeforeResult;
    std::function<void(bool running)> setTimerRunning;
    std::function<bool()> isRecTipOn;
    // Stores the tip setting ("yes" or "no"); false when it could not be written.
    std::function<bool(const QString& value)> writeRecTip;
    // Whether the file at path holds a recording the player can play.
    std::function<bool(const QString& path)> isPlayableRecording;
};

// The countdown text for the seconds left: "剩余10秒     ".
QString CountdownText(int remainSeconds);

class TCheckRecordFlow {
public:
    // programDir ends in "/"; the recording goes to its "tmp" folder.
    TCheckRecordFlow(std::unique_ptr<TVyraAudioUtil> audio, std::unique_ptr<TVyraECL> engine,
                     TVyraMicLevel* meter, CheckRecordEnvironment environment,
                     const QString& programDir);

    // Handlers. A failure of a control operation propagates to the caller, after both close
    // buttons have been enabled again so the student can always leave the wizard; a device lost
    // as it was opened (TAudioDeviceLost) shows the failure page instead.
    void FormCreate();
    void FormShow();
    void RzBmpButton2Click(); // "开始"
    void RzBmpButton9Click(); // the loudspeaker: replay the sample
    void RzBmpButton8Click(); // "重试"
    // "回放" on a result page: plays the recording, or stops it when it is playing.
    void ReplayRecordingClick();
    void VyraAudioUtil1StatusChange(int status);
    void tmr1Timer();
    void FormClose();

    const CheckRecordView& View() const { return view_; }
    TVyraAudioUtil* VyraAudioUtil1() const { return audio_.get(); }
    bool Closed() const { return !audio_; }

    int remainSeconds() const { return remainSeconds_; }
    bool retryMode() const { return retryMode_; }
    bool checkPassed() const { return checkPassed_; }
    int lastStatus() const { return lastStatus_; }
    const QString& recordFile() const { return recordFile_; }
    const QString& engineDir() const { return engineDir_; }
    const QString& promptFile() const { return promptFile_; }
    const QString& dingFile() const { return dingFile_; }

private:
    void BeginCheckRec();
    void showTab(int failed);
    void saveTipConfig(bool passed);
    void StopRecordingReplay();
    void SoundSystemStopped();
    void Guarded(const std::function<void()>& handler);

    std::unique_ptr<TVyraAudioUtil> audio_;
    std::unique_ptr<TVyraECL> engine_;
    TVyraMicLevel* meter_;
    CheckRecordEnvironment environment_;
    CheckRecordView view_;
    QString programDir_;

    int remainSeconds_ = 0;
    QString recordFile_;
    QString engineDir_;
    QString promptFile_;
    QString dingFile_;
    bool retryMode_ = false;
    bool checkPassed_ = false;
    int lastStatus_ = 0;
};
