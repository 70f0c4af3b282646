#pragma once

#include "reccheck/verdictcode.h"
#include "sentencealignment.h"
#include "speechanalysis.h"

#include <QString>
#include <QStringList>

// The thresholds between the codes.
constexpr int VerdictSampleRate = 16000;
constexpr double NoSignalPeakDb = -70.0;
constexpr double MaxClippedPercent = 0.1;
constexpr double MinVoicedSeconds = 1.0;
constexpr double MinSpeechDb = -42.0;
// The sentence's alignment may score this much (per 10 ms frame, in the recogniser's log units)
// below the best sequence of any phones: a reading of the sentence comes close to it, other
// words forced into the sentence's do not.
constexpr double MaxScoreBelowPhoneLoop = 24.0;
// No word of a reading lasts longer, not even a slow reader's "compass"; other speech forced
// into the sentence's words can stretch one over several of its own.
constexpr double MaxWordSeconds = 2.0;
// The sentence's average hides a word or two: another sentence on the sample's frame ("Living
// without a plan is like driving without a map.") matches most of it. So each of the words that
// set the sample apart from such sentences, taken with the article a reader runs into it ("an
// aim", "a compass"), must also come this close to the phone loop over its own frames. Short
// words alone vary too much from reader to reader to be judged one by one.
constexpr double MaxKeyWordScoreBelowPhoneLoop = 38.0;
// Another sentence on the frame can still bring each of its words within that limit. Two
// further rules catch it. Every content word of the sample must be heard: a word aligned at
// the fewest frames its phones allow was passed over ("friends" taken for "an" left "aim"
// nothing). And since the voice, the microphone and the room weigh alike on every word of a
// reading, each key word (with its article) is also weighed against the frame words of the
// same reading, which every sentence on the frame shares: it may lie at most this much further
// below the phone loop than they do ("driving … a car" for "sailing … a compass" in a voice
// that fits the frame words well). Readings came within 24.6 of it, other sentences on the
// frame no closer than 27.9.
constexpr double MaxKeyWordBelowFrameWords = 26.0;

// The words of the sample sentence that another sentence on its frame would change.
QStringList KeyWords();

// The content words of the sample sentence: the key words and "living".
QStringList ContentWords();

// Whether the alignment passed over a content word (aligned it at its shortest) or lacks one.
bool ContentWordPassedOver(const SentenceAlignment& alignment);

// The largest score below the phone loop among the key words (each with the article before
// it), per 10 ms frame; infinity when the alignment lacks one of them.
double WeakestKeyWordScore(const SentenceAlignment& alignment);

// The largest distance, per 10 ms frame, by which a key word (with the article before it) lies
// further below the phone loop than the frame words, the rest of the sentence, do together;
// infinity when the alignment lacks a key word or a frame word.
double WeakestKeyWordBelowFrameWords(const SentenceAlignment& alignment);

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

// Whether the alignment shows a reading of the sentence.
bool SentenceAccepted(const SentenceAlignment& alignment);

// Judges the recording at path; aligner is null when the speech model could not be loaded.
VerdictFigures JudgeRecording(const QString& path, TSentenceAligner* aligner);

// A short name of the code, such as "too quiet".
QString VerdictName(SpeechVerdict verdict);

// One log line with the code and the figures, such as "verdict 0 (pass): peak -6.1 dBFS, ...".
QString FormatVerdictFigures(const VerdictFigures& figures);
