#pragma once

#include "sentencealignment.h"
#include "speechanalysis.h"

#include <QString>

// The verdict on a recording of the microphone check: whether it is usable speech of the
// sentence, and if not, the first reason found, in the order the codes are listed.
enum SpeechVerdict : int {
    VerdictPass = 0,
    // Missing, empty, truncated, not a RIFF WAV, or not 16-bit PCM mono at 16 000 Hz.
    VerdictUnreadable = 1,
    // Digital silence or nearly: the microphone delivers nothing.
    VerdictNoSignal = 2,
    // Too many samples at full scale.
    VerdictOverloaded = 3,
    // A signal, but too little of it sounds like a voice.
    VerdictNoSpeech = 4,
    // A voice, too quiet to be recognised.
    VerdictTooQuiet = 5,
    // A voice at a good level that does not read the sentence.
    VerdictNotTheSentence = 6,
    // The speech model could not be loaded, so the sentence cannot be checked.
    VerdictNoSpeechModel = 7,
};

// The thresholds between the codes.
constexpr int VerdictSampleRate = 16000;
constexpr double NoSignalPeakDb = -70.0;
constexpr double MaxClippedPercent = 0.1;
constexpr double MinVoicedSeconds = 1.0;
constexpr double MinSpeechDb = -42.0;

// What the verdict was drawn from, for the log.
struct VerdictFigures {
    SpeechVerdict verdict = VerdictUnreadable;
    // Why the file was unreadable.
    QString problem;
    SignalFigures signal;
    bool alignmentDone = false;
    SentenceAlignment alignment;
    double seconds = 0.0;
};

// The verdict from the levels alone: VerdictPass means the sentence check comes next.
SpeechVerdict LevelVerdict(const SignalFigures& signal);

// Judges the recording at path; aligner is null when the speech model could not be loaded.
VerdictFigures JudgeRecording(const QString& path, TSentenceAligner* aligner);

// A short name of the code, such as "too quiet".
QString VerdictName(SpeechVerdict verdict);

// One log line with the code and the figures, such as "verdict 0 (pass): peak -6.1 dBFS, ...".
QString FormatVerdictFigures(const VerdictFigures& figures);
