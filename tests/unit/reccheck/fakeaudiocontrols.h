#pragma once

#include "reccheck/audiocontrols.h"

#include <QStringList>
#include <stdexcept>

// Substitute audio controls: every operation is written to one journal the test reads; the
// test sets the verdict and the operation that fails, and sends the recorder's status itself.
struct FakeAudioJournal {
    QStringList calls;
    int verdict = 0;
    // An operation whose journal entry starts with this text throws.
    QString failing;
    // An operation whose journal entry starts with this text finds its device lost.
    QString losing;
    QString engineDir = QStringLiteral("/opt/engine/");

    void Note(const QString& call) {
        calls << call;
        if (!failing.isEmpty() && call.startsWith(failing))
            throw std::runtime_error(("cannot " + call).toStdString());
        if (!losing.isEmpty() && call.startsWith(losing))
            throw TAudioDeviceLost(("lost at " + call).toStdString());
    }
    int Count(const QString& call) const { return static_cast<int>(calls.count(call)); }
};

class FakeAudioUtil : public TVyraAudioUtil {
public:
    explicit FakeAudioUtil(FakeAudioJournal& journal) : journal_(journal) {}
    ~FakeAudioUtil() override { journal_.calls << QStringLiteral("AudioUtil destroyed"); }

    QString FileName() const override { return fileName_; }
    void SetFileName(const QString& path) override {
        journal_.Note("SetFileName " + path);
        fileName_ = path;
    }
    void Play() override { journal_.Note(QStringLiteral("Play")); }
    int SampleRate() const override { return sampleRate_; }
    void SetSampleRate(int rate) override {
        journal_.Note(QStringLiteral("SetSampleRate %1").arg(rate));
        sampleRate_ = rate;
    }
    int SampleSize() const override { return sampleSize_; }
    void SetSampleSize(int bits) override {
        journal_.Note(QStringLiteral("SetSampleSize %1").arg(bits));
        sampleSize_ = bits;
    }
    bool NewDataNotifyEnabled() const override { return notify_; }
    void SetNewDataNotifyEnabled(bool enabled) override {
        journal_.Note(QStringLiteral("SetNewDataNotifyEnabled %1").arg(enabled));
        notify_ = enabled;
    }
    void PrepareRecord() override { journal_.Note(QStringLiteral("PrepareRecord")); }
    void StartRecord() override { journal_.Note(QStringLiteral("StartRecord")); }
    void Stop() override { journal_.Note(QStringLiteral("Stop")); }
    QString SaveRecord(const QString& path) override {
        journal_.Note("SaveRecord " + path);
        return QStringLiteral("saved");
    }

    // The recorder reporting a status, as the real one does from its events.
    void Report(int status) {
        if (OnStatusChange)
            OnStatusChange(this, status);
    }

private:
    FakeAudioJournal& journal_;
    QString fileName_;
    int sampleRate_ = 0;
    int sampleSize_ = 0;
    bool notify_ = false;
};

class FakeECL : public TVyraECL {
public:
    explicit FakeECL(FakeAudioJournal& journal) : journal_(journal) {}
    ~FakeECL() override { journal_.calls << QStringLiteral("ECL destroyed"); }

    QString EngineDir() const override { return journal_.engineDir; }
    int CheckRecordFile(const QString& path) override {
        journal_.Note("CheckRecordFile " + path);
        return journal_.verdict;
    }

private:
    FakeAudioJournal& journal_;
};

class FakeMicLevel : public TVyraMicLevel {
public:
    FakeMicLevel(FakeAudioJournal& journal, QWidget* parent)
        : TVyraMicLevel(parent), journal_(journal) {}

    QString BackgroundImage() const override { return background_; }
    void SetBackgroundImage(const QString& path) override {
        journal_.Note("SetBackgroundImage " + path);
        background_ = path;
    }
    QString ForegroundImage() const override { return foreground_; }
    void SetForegroundImage(const QString& path) override {
        journal_.Note("SetForegroundImage " + path);
        foreground_ = path;
    }
    void StartMeter() override { journal_.Note(QStringLiteral("StartMeter")); }
    void StopMeter() override { journal_.Note(QStringLiteral("StopMeter")); }

private:
    FakeAudioJournal& journal_;
    QString background_;
    QString foreground_;
};

class FakeAudioControls : public TAudioControls {
public:
    FakeAudioJournal journal;
    // The last recorder made, for the test to report statuses through.
    FakeAudioUtil* audio = nullptr;

    std::unique_ptr<TVyraAudioUtil> CreateAudioUtil() override {
        auto made = std::make_unique<FakeAudioUtil>(journal);
        audio = made.get();
        return made;
    }
    std::unique_ptr<TVyraECL> CreateECL() override { return std::make_unique<FakeECL>(journal); }
    TVyraMicLevel* CreateMicLevel(QWidget* parent) override {
        return new FakeMicLevel(journal, parent);
    }
};
