#include "speechverdict.h"

#include "voiceband.h"
#include "wavfile.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Silence kept around the voice for the alignment, which needs some before the first word and
// after the last; the rest of the ten seconds would only cost time.
constexpr double AlignmentMarginSeconds = 0.5;

// Where the recognizer's 10 ms analysis frames fall decides a borderline alignment: the same
// reading recorded a few milliseconds later can miss the grammar's end. The alignment is tried
// at up to three phases of the frame, until one shows the sentence, so the verdict does not
// hang on that.
constexpr size_t FramePhaseSamples[] = {0, 53, 107};

// The reader stands out of voices talking under them (classroom babble): the part from the
// first to the last 20 ms frame within this much of the loudest frame holds the reading.
constexpr double ReaderBelowLoudestDb = 12.0;

// The samples from the first to one past the last frame of voiceBand within
// ReaderBelowLoudestDb of its loudest frame.
std::pair<size_t, size_t> LoudestPart(const std::vector<qint16>& voiceBand) {
    const size_t frameLength = VerdictSampleRate * AnalysisFrameMs / 1000;
    std::vector<double> powers;
    for (size_t begin = 0; begin + frameLength <= voiceBand.size(); begin += frameLength) {
        double power = 0.0;
        for (size_t i = begin; i < begin + frameLength; ++i)
            power += static_cast<double>(voiceBand[i]) * voiceBand[i];
        powers.push_back(power / frameLength);
    }
    if (powers.empty())
        return {0, 0};
    const double threshold = *std::max_element(powers.begin(), powers.end()) *
                             std::pow(10.0, -ReaderBelowLoudestDb / 10.0);
    const auto loud = [threshold](double power) { return power >= threshold; };
    const size_t first = std::find_if(powers.begin(), powers.end(), loud) - powers.begin();
    const size_t last = powers.rend() - std::find_if(powers.rbegin(), powers.rend(), loud);
    return {first * frameLength, last * frameLength};
}

// Aligns samples from begin to end with the margin around them, at each phase in turn until
// one shows the sentence.
SentenceAlignment AlignPart(TSentenceAligner& aligner, const std::vector<qint16>& samples,
                            size_t voiceBegin, size_t voiceEnd) {
    const size_t margin = static_cast<size_t>(AlignmentMarginSeconds * VerdictSampleRate);
    const size_t end = std::min(samples.size(), voiceEnd + margin);
    SentenceAlignment alignment;
    for (const size_t phase : FramePhaseSamples) {
        const size_t begin = std::min(end, (voiceBegin > margin ? voiceBegin - margin : 0) + phase);
        alignment = aligner.Align(samples.data() + begin, end - begin);
        if (SentenceAccepted(alignment))
            break;
    }
    return alignment;
}

// Aligns the voiced part; when that does not show the sentence and other voices went on
// before or after the loudest part, that part alone, since the sentence's grammar has no word
// for other people's talk and forces it into the reading's.
SentenceAlignment AlignVoicedPart(TSentenceAligner& aligner, const std::vector<qint16>& samples,
                                  const SignalFigures& signal) {
    const SentenceAlignment voiced =
        AlignPart(aligner, samples, signal.voicedBegin, signal.voicedEnd);
    if (SentenceAccepted(voiced))
        return voiced;
    const auto [loudBegin, loudEnd] = LoudestPart(samples);
    const size_t begin = std::max(loudBegin, signal.voicedBegin);
    const size_t end = std::min(loudEnd, signal.voicedEnd);
    const size_t margin = static_cast<size_t>(AlignmentMarginSeconds * VerdictSampleRate);
    if (end <= begin || (begin < signal.voicedBegin + margin && end + margin > signal.voicedEnd))
        return voiced;
    const SentenceAlignment loud = AlignPart(aligner, samples, begin, end);
    return SentenceAccepted(loud) ? loud : voiced;
}

VerdictFigures Judge(const QString& path, TSentenceAligner* aligner) {
    VerdictFigures figures;
    const std::optional<WavData> wav = ReadWav(path, &figures.problem);
    if (!wav)
        return figures;
    if (wav->channels != 1 || wav->sampleRate != VerdictSampleRate) {
        figures.problem = QStringLiteral("%1 channel(s) at %2 Hz, not mono at %3 Hz")
                              .arg(wav->channels)
                              .arg(wav->sampleRate)
                              .arg(VerdictSampleRate);
        return figures;
    }

    const std::vector<qint16> samples = Pcm16Samples(wav->pcm16);
    const std::vector<qint16> voiceBand = VoiceBand(samples, wav->sampleRate);
    figures.signal = AnalyseSignal(samples, voiceBand, wav->sampleRate);
    figures.verdict = LevelVerdict(figures.signal);
    if (figures.verdict != VerdictPass)
        return figures;
    if (!aligner) {
        figures.verdict = VerdictNoSpeechModel;
        return figures;
    }
    figures.alignment = AlignVoicedPart(*aligner, voiceBand, figures.signal);
    figures.alignmentDone = true;
    figures.verdict = SentenceAccepted(figures.alignment) ? VerdictPass : VerdictNotTheSentence;
    return figures;
}

} // namespace

SpeechVerdict LevelVerdict(const SignalFigures& signal) {
    if (signal.peakDb < NoSignalPeakDb)
        return VerdictNoSignal;
    if (signal.clippedPercent > MaxClippedPercent)
        return VerdictOverloaded;
    if (signal.voicedSeconds < MinVoicedSeconds)
        return VerdictNoSpeech;
    if (signal.speechDb < MinSpeechDb)
        return VerdictTooQuiet;
    return VerdictPass;
}

QStringList KeyWords() {
    return {QStringLiteral("aim"), QStringLiteral("sailing"), QStringLiteral("compass")};
}

namespace {

// The words from a key word's article (when the key word has one) to the key word, which
// readers run together; empty when the alignment lacks the key word.
std::pair<size_t, size_t> KeyWordSpan(const std::vector<AlignedWord>& words, const QString& key) {
    const auto found = std::find_if(words.begin(), words.end(),
                                    [&key](const AlignedWord& w) { return w.word == key; });
    if (found == words.end())
        return {0, 0};
    const size_t last = static_cast<size_t>(found - words.begin());
    size_t first = last;
    if (first > 0 && (words[first - 1].word == QLatin1String("a") ||
                      words[first - 1].word == QLatin1String("an")))
        --first;
    return {first, last + 1};
}

// The mean score below the phone loop per 10 ms frame of the words taken, each counting with
// its length; infinity when they last no time.
template <typename Taken> double PooledScore(const std::vector<AlignedWord>& words, Taken taken) {
    double seconds = 0.0, score = 0.0;
    for (size_t i = 0; i < words.size(); ++i) {
        if (!taken(i))
            continue;
        seconds += words[i].seconds;
        score += words[i].seconds * words[i].scoreBelowPhoneLoop;
    }
    return seconds > 0.0 ? score / seconds : std::numeric_limits<double>::infinity();
}

// Which words of the alignment belong to a key word's span; empty when a key word is missing.
std::vector<bool> KeyWordMask(const std::vector<AlignedWord>& words) {
    std::vector<bool> mask(words.size(), false);
    for (const QString& key : KeyWords()) {
        const auto [first, end] = KeyWordSpan(words, key);
        if (first == end)
            return {};
        std::fill(mask.begin() + static_cast<std::ptrdiff_t>(first),
                  mask.begin() + static_cast<std::ptrdiff_t>(end), true);
    }
    return mask;
}

} // namespace

double WeakestKeyWordScore(const SentenceAlignment& alignment) {
    const std::vector<AlignedWord>& words = alignment.words;
    double weakest = 0.0;
    for (const QString& key : KeyWords()) {
        const auto [first, end] = KeyWordSpan(words, key);
        if (first == end)
            return std::numeric_limits<double>::infinity();
        weakest = std::max(weakest, PooledScore(words, [first = first, end = end](size_t i) {
                               return i >= first && i < end;
                           }));
    }
    return weakest;
}

double WeakestKeyWordBelowFrameWords(const SentenceAlignment& alignment) {
    const std::vector<AlignedWord>& words = alignment.words;
    const std::vector<bool> key = KeyWordMask(words);
    if (key.empty())
        return std::numeric_limits<double>::infinity();
    const double frame = PooledScore(words, [&key](size_t i) { return !key[i]; });
    if (std::isinf(frame))
        return frame;
    return WeakestKeyWordScore(alignment) - frame;
}

QStringList ContentWords() {
    return QStringList{QStringLiteral("living")} + KeyWords();
}

bool ContentWordPassedOver(const SentenceAlignment& alignment) {
    const std::vector<AlignedWord>& words = alignment.words;
    for (const QString& content : ContentWords()) {
        const auto found =
            std::find_if(words.begin(), words.end(),
                         [&content](const AlignedWord& w) { return w.word == content; });
        if (found == words.end() || found->seconds <= found->shortestSeconds)
            return true;
    }
    return false;
}

bool SentenceAccepted(const SentenceAlignment& alignment) {
    return alignment.found &&
           alignment.phoneLoopScorePerFrame - alignment.scorePerFrame <= MaxScoreBelowPhoneLoop &&
           alignment.longestWordSeconds <= MaxWordSeconds &&
           WeakestKeyWordScore(alignment) <= MaxKeyWordScoreBelowPhoneLoop &&
           !ContentWordPassedOver(alignment) &&
           WeakestKeyWordBelowFrameWords(alignment) <= MaxKeyWordBelowFrameWords;
}

VerdictFigures JudgeRecording(const QString& path, TSentenceAligner* aligner) {
    QElapsedTimer timer;
    timer.start();
    VerdictFigures figures = Judge(path, aligner);
    figures.seconds = timer.nsecsElapsed() / 1e9;
    return figures;
}

QString VerdictName(SpeechVerdict verdict) {
    switch (verdict) {
    case VerdictPass:
        return QStringLiteral("pass");
    case VerdictUnreadable:
        return QStringLiteral("unreadable");
    case VerdictNoSignal:
        return QStringLiteral("no signal");
    case VerdictOverloaded:
        return QStringLiteral("overloaded");
    case VerdictNoSpeech:
        return QStringLiteral("no speech");
    case VerdictTooQuiet:
        return QStringLiteral("too quiet");
    case VerdictNotTheSentence:
        return QStringLiteral("not the sentence");
    case VerdictNoSpeechModel:
        return QStringLiteral("no speech model");
    }
    return QStringLiteral("code %1").arg(static_cast<int>(verdict));
}

QString FormatVerdictFigures(const VerdictFigures& figures) {
    const QString head =
        QStringLiteral("verdict %1 (%2): ").arg(figures.verdict).arg(VerdictName(figures.verdict));
    const QString time = QStringLiteral(", %1 s").arg(figures.seconds, 0, 'f', 2);
    if (figures.verdict == VerdictUnreadable)
        return head + figures.problem + time;

    const SignalFigures& signal = figures.signal;
    QString sentence = QStringLiteral("not checked");
    if (figures.alignmentDone) {
        const SentenceAlignment& alignment = figures.alignment;
        sentence = figures.verdict == VerdictPass ? QStringLiteral("yes") : QStringLiteral("no");
        if (alignment.found)
            sentence += QStringLiteral(" (score %1, phone loop %2, longest word %3 s, weakest key "
                                       "word %4 below, %5 below the frame words%6)")
                            .arg(alignment.scorePerFrame, 0, 'f', 1)
                            .arg(alignment.phoneLoopScorePerFrame, 0, 'f', 1)
                            .arg(alignment.longestWordSeconds, 0, 'f', 2)
                            .arg(WeakestKeyWordScore(alignment), 0, 'f', 1)
                            .arg(WeakestKeyWordBelowFrameWords(alignment), 0, 'f', 1)
                            .arg(ContentWordPassedOver(alignment)
                                     ? QStringLiteral(", a content word passed over")
                                     : QString());
    }
    return head +
           QStringLiteral("peak %1 dBFS, speech %2 dBFS, noise %3 dBFS, voiced %4 s, "
                          "clipped %5 %, sentence %6")
               .arg(signal.peakDb, 0, 'f', 1)
               .arg(signal.speechDb, 0, 'f', 1)
               .arg(signal.noiseDb, 0, 'f', 1)
               .arg(signal.voicedSeconds, 0, 'f', 2)
               .arg(signal.clippedPercent, 0, 'f', 2)
               .arg(sentence) +
           time;
}
