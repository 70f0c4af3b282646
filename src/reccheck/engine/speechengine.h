#pragma once

#include "reccheck/audiocontrols.h"
#include "sentencealignment.h"

#include <memory>

// The sentence the student reads in the microphone check.
inline constexpr char CheckSentence[] = "Living without an aim is like sailing without a compass.";

// The speech engine of the microphone check: judges a recording, writes the figures to the
// log and adjusts the microphone's level when the voice was too quiet or too loud.
class TSpeechEngine : public TVyraECL {
public:
    // Loads the speech model from modelDir at once (a few tenths of a second), so that each
    // check is quick; a model that cannot be loaded makes every check fail with its own code.
    TSpeechEngine(const QString& engineDir, TAudioControlsHost host,
                  const QString& modelDir = DefaultSpeechModelDir());
    ~TSpeechEngine() override;

    QString EngineDir() const override;
    // Never throws: an unusable file is a failure code (see SpeechVerdict).
    int CheckRecordFile(const QString& path) override;

private:
    void Log(const QString& line) const;

    QString FEngineDir;
    TAudioControlsHost FHost;
    std::unique_ptr<TSentenceAligner> FAligner;
};
