#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>
#include <vector>

// Checks that a recording is a reading of one given sentence, by aligning it against a grammar
// that allows only that sentence, and against a loop of any phones in any order: the alignment
// reaches the grammar's end only when something like the words was spoken in order, and its
// acoustic score comes close to the phone loop's only when the words are really the sentence's.

// One word of the sentence where the alignment placed it.
struct AlignedWord {
    // As the dictionary spells it, lower case.
    QString word;
    double seconds = 0.0;
    // How far the word's acoustic score per 10 ms frame lies below the phone loop's over the
    // same frames: a sentence whose other words match well can hide one word that does not.
    double scoreBelowPhoneLoop = 0.0;
    // The shortest the word can last: one 10 ms frame in each state of each of its phones. A word
    // aligned at that length was passed over: the alignment found nothing of it to give it more.
    double shortestSeconds = 0.0;
};

struct SentenceAlignment {
    // The alignment reached the grammar's end.
    bool found = false;
    // The acoustic scores per 10 ms frame (log-likelihoods in the recogniser's units, relative
    // to the best hypothesis alive in each frame) of the sentence's alignment and of the best
    // sequence of any phones over the same frames; 0 when the alignment did not reach the end.
    double scorePerFrame = 0.0;
    double phoneLoopScorePerFrame = 0.0;
    // The longest word of the alignment, in seconds.
    double longestWordSeconds = 0.0;
    // The sentence's words in order.
    std::vector<AlignedWord> words;
};

// The directory of the US English acoustic model and dictionary where the recogniser's
// package installs them.
QString DefaultSpeechModelDir();

class TSentenceAligner {
public:
    // Loads the acoustic model ("en-us") and dictionary ("cmudict-en-us.dict") from modelDir,
    // which takes a few tenths of a second; returns nullptr and a reason in error (when given)
    // when they cannot be loaded or a word of the sentence is not in the dictionary.
    static std::unique_ptr<TSentenceAligner> Create(const QString& modelDir,
                                                    const QString& sentence, QString* error);
    ~TSentenceAligner();
    TSentenceAligner(const TSentenceAligner&) = delete;
    TSentenceAligner& operator=(const TSentenceAligner&) = delete;

    // Aligns count mono samples at 16 000 Hz.
    SentenceAlignment Align(const qint16* samples, size_t count);

private:
    struct Decoder;
    explicit TSentenceAligner(std::unique_ptr<Decoder> decoder);
    std::unique_ptr<Decoder> FDecoder;
};
