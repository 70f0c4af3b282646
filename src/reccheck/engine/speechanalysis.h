#pragma once

#include <QtGlobal>
#include <vector>

// Level figures of a recording and where a voice-activity detector hears speech in it. Levels
// are in dB relative to full scale (a full-scale square wave is 0 dBFS).

// The level reported for digital silence, below anything 16-bit samples can carry.
constexpr double SilenceDb = -100.0;
// The length of the frames levels and voice activity are measured on.
constexpr int AnalysisFrameMs = 20;

struct SignalFigures {
    double peakDb = SilenceDb;
    // Samples at either end of the 16-bit range, as a percentage of all samples.
    double clippedPercent = 0.0;
    // The level of the quietest tenth of the frames of the voice band.
    double noiseDb = SilenceDb;
    // The mean power of the voiced frames, those the detector marks as voice and that stand
    // out of the noise; SilenceDb when none.
    double speechDb = SilenceDb;
    double voicedSeconds = 0.0;
    // The first and one past the last voiced sample; both 0 when nothing was voiced.
    size_t voicedBegin = 0;
    size_t voicedEnd = 0;
};

// Measures mono samples at sampleRate, which must be 8000, 16000, 32000 or 48000 Hz (the rates
// the detector works at; at other rates nothing counts as voiced): peak and clipping on the
// samples as recorded, noise floor, speech level and voice on their voice band (VoiceBand of
// the same samples), so that rumble and hum under a voice do not hide it.
SignalFigures AnalyseSignal(const std::vector<qint16>& samples,
                            const std::vector<qint16>& voiceBand, int sampleRate);
