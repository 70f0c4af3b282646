#pragma once

#include "reccheck/audiocontrols.h"

#include "reccheck/audiocontrols/pulserecorder.h"
#include "reccheck/soundout/pulseplayer.h"

#include <QByteArray>
#include <QString>

// The recorder and player on the system's default microphone and loudspeaker. Each playback
// and recording has a connection of its own to the sound server, so a server that came back at
// any time after the last one stopped is used; its events arrive on the thread that made it
// (the GUI thread). Every recorded chunk's level goes to the module's level hub, where the meter
// reads it. A device that goes away, or a sound server that stops, ends the playback or
// recording on it with status AudioDeviceLost, keeping what was recorded.
class TQtAudioUtil : public TVyraAudioUtil {
public:
    TQtAudioUtil();
    ~TQtAudioUtil() override;

    QString FileName() const override { return fileName_; }
    void SetFileName(const QString& path) override { fileName_ = path; }
    // Throws when there is no output device or the file is missing or not a playable WAV.
    void Play() override;

    int SampleRate() const override { return sampleRate_; }
    void SetSampleRate(int samplesPerSecond) override { sampleRate_ = samplesPerSecond; }
    int SampleSize() const override { return sampleSize_; }
    void SetSampleSize(int bitsPerSample) override { sampleSize_ = bitsPerSample; }
    // Kept for the callers; the level hub is fed either way.
    bool NewDataNotifyEnabled() const override { return newDataNotify_; }
    void SetNewDataNotifyEnabled(bool enabled) override { newDataNotify_ = enabled; }

    // Throws when there is no microphone or it cannot record mono 16-bit samples at the rate.
    void PrepareRecord() override;
    // Prepares first when PrepareRecord was not called.
    void StartRecord() override;
    void Stop() override;
    // Throws when the file cannot be written; answers how many seconds it holds.
    QString SaveRecord(const QString& path) override;

private:
    void TakeRecorded();
    void EndPlayback(int status = AudioIdle);
    void EndRecording(int status = AudioIdle);
    void Report(int status);

    QString fileName_;
    int sampleRate_ = 16000;
    int sampleSize_ = 16;
    bool newDataNotify_ = false;
    int status_ = AudioIdle;

    PulsePlayer player_;
    bool playing_ = false;
    // The microphone PrepareRecord chose; empty until then.
    QByteArray input_;
    PulseRecorder recorder_;
    bool recording_ = false;
    QByteArray recorded_;
    int recordedRate_ = 0;
};
