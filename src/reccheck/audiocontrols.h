#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <stdexcept>

// The recording check's three controls: recorder and player, speech engine, microphone level
// meter. The wizard talks to them only through these classes, so it also runs against the
// substitute controls of the tests. Every operation reports a failure by throwing an exception
// derived from std::exception whose what() is the text for the user.
//
// The real controls live in the loadable module "AudioEditor.ocx" (see component.h); these
// classes are its whole surface, so they hold no Qt signals: events are handler slots.

// Status values of the recorder and player.
enum AudioStatus : int {
    AudioIdle = 0,
    AudioPlaying = 1,
    AudioRecording = 2,
    // The playback or recording was cut short: the sound system stopped or took its device
    // away. The recorder is idle again; what was recorded until then is kept.
    AudioDeviceLost = 3,
};

// Thrown by Play and StartRecord when the sound system stopped or took the device away as it
// was opened: the check then says that the sound system stopped rather than show the message.
class TAudioDeviceLost : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The recorder and player.
class TVyraAudioUtil {
public:
    // Called on the GUI thread for every change of status.
    using StatusHandler = std::function<void(TVyraAudioUtil* sender, int status)>;

    virtual ~TVyraAudioUtil() = default;

    // The file Play plays.
    virtual QString FileName() const = 0;
    virtual void SetFileName(const QString& path) = 0;
    // Plays FileName to the default output: status 1 at once, 0 when the sound has ended (3
    // when it was cut short).
    virtual void Play() = 0;

    virtual int SampleRate() const = 0;
    virtual void SetSampleRate(int samplesPerSecond) = 0;
    virtual int SampleSize() const = 0;
    virtual void SetSampleSize(int bitsPerSample) = 0;
    virtual bool NewDataNotifyEnabled() const = 0;
    virtual void SetNewDataNotifyEnabled(bool enabled) = 0;

    // Opens the default microphone for a recording with the current format.
    virtual void PrepareRecord() = 0;
    // Records from now on, until Stop.
    virtual void StartRecord() = 0;
    // Ends a recording or a playback.
    virtual void Stop() = 0;
    // Writes the last recording as a RIFF WAV file at path; the text returned says what was
    // written.
    virtual QString SaveRecord(const QString& path) = 0;

    StatusHandler OnStatusChange;
};

// The speech engine.
class TVyraECL {
public:
    virtual ~TVyraECL() = default;
    // The engine's directory, ending in "/": below it lie "bin/checkRecTip.wav",
    // "bin/ding.wav", "bin/revirode_sound_bg.bmp" and "bin/revirode_sound_fg.bmp".
    virtual QString EngineDir() const = 0;
    // 0 when the recording at path is usable speech of the sentence; a failure code otherwise.
    virtual int CheckRecordFile(const QString& path) = 0;
};

// The microphone level meter: a widget that paints the live input level between StartMeter
// and StopMeter, the foreground picture uncovered from the bottom up over the background one.
class TVyraMicLevel : public QWidget {
public:
    using QWidget::QWidget;

    virtual QString BackgroundImage() const = 0;
    virtual void SetBackgroundImage(const QString& path) = 0;
    virtual QString ForegroundImage() const = 0;
    virtual void SetForegroundImage(const QString& path) = 0;
    virtual void StartMeter() = 0;
    virtual void StopMeter() = 0;
};

// What the client lends the controls.
struct TAudioControlsHost {
    // Writes a DBG line to the client's log.
    std::function<void(const QString& line)> debugLog;
};

// Makes the three controls. The real maker comes from the module; the tests have a substitute.
class TAudioControls {
public:
    virtual ~TAudioControls() = default;
    virtual std::unique_ptr<TVyraAudioUtil> CreateAudioUtil() = 0;
    virtual std::unique_ptr<TVyraECL> CreateECL() = 0;
    virtual TVyraMicLevel* CreateMicLevel(QWidget* parent) = 0;
};
