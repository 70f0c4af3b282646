#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>

// Checks that a recording is a reading of one given sentence, by aligning it against a grammar
// that allows only that sentence: the alignment reaches the grammar's end only when the words
// were spoken in order.

struct SentenceAlignment {
    bool found = false;
    // The alignment's log-likelihood per 10 ms frame, 0 when it did not reach the end.
    double scorePerFrame = 0.0;
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
