#include "reccheck/engine/speechverdict.h"
#include "support/qtprint.h"

#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>

namespace {

// A recording that passes every level check.
SignalFigures GoodSignal() {
    SignalFigures signal;
    signal.peakDb = -3.0;
    signal.clippedPercent = 0.0;
    signal.noiseDb = -60.0;
    signal.speechDb = -20.0;
    signal.voicedSeconds = 3.0;
    return signal;
}

struct LevelCase {
    const char* name;
    std::function<void(SignalFigures&)> change;
    SpeechVerdict verdict;
};

void PrintTo(const LevelCase& c, std::ostream* os) {
    *os << c.name;
}

class LevelVerdictTest : public testing::TestWithParam<LevelCase> {};

TEST_P(LevelVerdictTest, GivesTheFirstFailingCheck) {
    SignalFigures signal = GoodSignal();
    GetParam().change(signal);
    EXPECT_EQ(LevelVerdict(signal), GetParam().verdict);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LevelVerdictTest,
    testing::Values(LevelCase{"good", [](SignalFigures&) {}, VerdictPass},
                    LevelCase{"digital_silence", [](SignalFigures& s) { s = SignalFigures(); },
                              VerdictNoSignal},
                    LevelCase{"peak_just_below_signal", [](SignalFigures& s) { s.peakDb = -70.1; },
                              VerdictNoSignal},
                    LevelCase{"peak_at_signal_threshold",
                              [](SignalFigures& s) { s.peakDb = -70.0; }, VerdictPass},
                    LevelCase{"clipping_over_limit",
                              [](SignalFigures& s) { s.clippedPercent = 0.11; }, VerdictOverloaded},
                    LevelCase{"clipping_at_limit", [](SignalFigures& s) { s.clippedPercent = 0.1; },
                              VerdictPass},
                    LevelCase{"clipping_without_voice",
                              [](SignalFigures& s) {
                                  s.clippedPercent = 5;
                                  s.voicedSeconds = 0;
                              },
                              VerdictOverloaded},
                    LevelCase{"too_little_voice", [](SignalFigures& s) { s.voicedSeconds = 0.98; },
                              VerdictNoSpeech},
                    LevelCase{"just_enough_voice", [](SignalFigures& s) { s.voicedSeconds = 1.0; },
                              VerdictPass},
                    LevelCase{"quiet_voice", [](SignalFigures& s) { s.speechDb = -42.1; },
                              VerdictTooQuiet},
                    LevelCase{"voice_at_quiet_limit", [](SignalFigures& s) { s.speechDb = -42.0; },
                              VerdictPass},
                    LevelCase{"no_voice_beats_quiet",
                              [](SignalFigures& s) {
                                  s.speechDb = -60;
                                  s.voicedSeconds = 0.2;
                              },
                              VerdictNoSpeech}),
    [](const testing::TestParamInfo<LevelCase>& info) { return info.param.name; });

TEST(VerdictFormatTest, UnreadableLineGivesTheReason) {
    VerdictFigures figures;
    figures.verdict = VerdictUnreadable;
    figures.problem = QStringLiteral("not a RIFF WAV file");
    figures.seconds = 0.004;
    EXPECT_EQ(FormatVerdictFigures(figures),
              QStringLiteral("verdict 1 (unreadable): not a RIFF WAV file, 0.00 s"));
}

TEST(VerdictFormatTest, LevelFailureLineGivesTheFiguresAndNoSentence) {
    VerdictFigures figures;
    figures.verdict = VerdictTooQuiet;
    figures.signal = GoodSignal();
    figures.signal.speechDb = -65.34;
    figures.signal.clippedPercent = 0.004;
    figures.seconds = 0.0123;
    EXPECT_EQ(FormatVerdictFigures(figures),
              QStringLiteral("verdict 5 (too quiet): peak -3.0 dBFS, speech -65.3 dBFS, "
                             "noise -60.0 dBFS, voiced 3.00 s, clipped 0.00 %, "
                             "sentence not checked, 0.01 s"));
}

// A reading of the sentence, as the aligner reports it: each word with its length and its
// score below the phone loop.
SentenceAlignment GoodAlignment() {
    SentenceAlignment alignment{true, -24.0, -17.0, 0.6, {}};
    const struct {
        const char* word;
        double seconds;
        double below;
    } words[] = {{"living", 0.35, 3.0},  {"without", 0.3, 1.0}, {"an", 0.15, 6.0},
                 {"aim", 0.1, 5.0},      {"is", 0.1, 2.0},      {"like", 0.25, 0.5},
                 {"sailing", 0.45, 4.0}, {"without", 0.3, 3.0}, {"a", 0.06, 9.0},
                 {"compass", 0.6, 2.0}};
    for (const auto& w : words)
        alignment.words.push_back({QString::fromLatin1(w.word), w.seconds, w.below});
    return alignment;
}

// The word of the alignment at index.
AlignedWord& Word(SentenceAlignment& a, int index) {
    return a.words.at(static_cast<size_t>(index));
}

TEST(VerdictFormatTest, AlignedLineGivesTheScore) {
    VerdictFigures figures;
    figures.verdict = VerdictPass;
    figures.signal = GoodSignal();
    figures.alignmentDone = true;
    figures.alignment = GoodAlignment();
    figures.alignment.scorePerFrame = -23.46;
    figures.alignment.phoneLoopScorePerFrame = -17.21;
    figures.alignment.longestWordSeconds = 0.544;
    figures.seconds = 0.118;
    // The weakest key word is "an aim": (0.15 * 6 + 0.1 * 5) / 0.25 = 5.6.
    EXPECT_EQ(FormatVerdictFigures(figures),
              QStringLiteral("verdict 0 (pass): peak -3.0 dBFS, speech -20.0 dBFS, "
                             "noise -60.0 dBFS, voiced 3.00 s, clipped 0.00 %, "
                             "sentence yes (score -23.5, phone loop -17.2, longest word 0.54 s, "
                             "weakest key word 5.6 below), 0.12 s"));
    figures.verdict = VerdictNotTheSentence;
    figures.alignment = SentenceAlignment{};
    EXPECT_TRUE(
        FormatVerdictFigures(figures).startsWith(QStringLiteral("verdict 6 (not the sentence): ")));
    EXPECT_TRUE(FormatVerdictFigures(figures).contains(QStringLiteral("sentence no,")));
}

struct AlignmentCase {
    const char* name;
    std::function<void(SentenceAlignment&)> change;
    bool accepted;
};

void PrintTo(const AlignmentCase& c, std::ostream* os) {
    *os << c.name;
}

class SentenceAcceptedTest : public testing::TestWithParam<AlignmentCase> {};

TEST_P(SentenceAcceptedTest, NeedsTheGrammarsEndACloseScorePlausibleWordsAndItsKeyWords) {
    SentenceAlignment alignment = GoodAlignment();
    GetParam().change(alignment);
    EXPECT_EQ(SentenceAccepted(alignment), GetParam().accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SentenceAcceptedTest,
    testing::Values(
        AlignmentCase{"reading", [](SentenceAlignment&) {}, true},
        AlignmentCase{"grammar_end_not_reached", [](SentenceAlignment& a) { a = {}; }, false},
        AlignmentCase{
            "score_at_the_limit_below_the_phone_loop",
            [](SentenceAlignment& a) { a.scorePerFrame = a.phoneLoopScorePerFrame - 24.0; }, true},
        AlignmentCase{
            "score_far_below_the_phone_loop",
            [](SentenceAlignment& a) { a.scorePerFrame = a.phoneLoopScorePerFrame - 24.1; }, false},
        AlignmentCase{
            "score_above_the_phone_loop",
            [](SentenceAlignment& a) { a.scorePerFrame = a.phoneLoopScorePerFrame + 2.0; }, true},
        AlignmentCase{"word_at_the_longest",
                      [](SentenceAlignment& a) { a.longestWordSeconds = 2.0; }, true},
        AlignmentCase{"word_too_long", [](SentenceAlignment& a) { a.longestWordSeconds = 2.01; },
                      false},
        // Another word in place of "compass" on a sentence whose average still comes close.
        AlignmentCase{"key_word_far_below_the_phone_loop",
                      [](SentenceAlignment& a) { Word(a, 9).scoreBelowPhoneLoop = 60.0; }, false},
        AlignmentCase{"key_word_with_its_article_just_over",
                      [](SentenceAlignment& a) {
                          // (0.06 * 9 + 0.6 * 41) / 0.66 = 38.09: just over.
                          Word(a, 9).scoreBelowPhoneLoop = 41.0;
                      },
                      false},
        AlignmentCase{"key_word_with_its_article_just_within",
                      [](SentenceAlignment& a) {
                          // (0.06 * 9 + 0.6 * 40.8) / 0.66 = 37.91
                          Word(a, 9).scoreBelowPhoneLoop = 40.8;
                      },
                      true},
        // "an aim" run together: the short key word is judged with its article.
        AlignmentCase{"short_key_word_carried_by_its_article",
                      [](SentenceAlignment& a) {
                          Word(a, 2).seconds = 0.2;
                          Word(a, 2).scoreBelowPhoneLoop = 10.0;
                          Word(a, 3).seconds = 0.06;
                          Word(a, 3).scoreBelowPhoneLoop = 90.0;
                      },
                      true},
        AlignmentCase{"key_word_without_article_far_below",
                      [](SentenceAlignment& a) { Word(a, 6).scoreBelowPhoneLoop = 38.5; }, false},
        AlignmentCase{"frame_word_far_below_does_not_decide",
                      [](SentenceAlignment& a) { Word(a, 4).scoreBelowPhoneLoop = 60.0; }, true},
        AlignmentCase{"key_word_missing",
                      [](SentenceAlignment& a) { a.words.erase(a.words.begin() + 6); }, false}),
    [](const testing::TestParamInfo<AlignmentCase>& info) { return info.param.name; });

TEST(VerdictNameTest, EveryCodeHasItsOwnName) {
    QStringList names;
    for (int code = VerdictPass; code <= VerdictNoSpeechModel; ++code)
        names << VerdictName(static_cast<SpeechVerdict>(code));
    names.removeDuplicates();
    EXPECT_EQ(names.size(), VerdictNoSpeechModel + 1);
    EXPECT_FALSE(names.join(QString()).contains(QStringLiteral("code")));
}

} // namespace
