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

TEST(VerdictFormatTest, AlignedLineGivesTheScore) {
    VerdictFigures figures;
    figures.verdict = VerdictPass;
    figures.signal = GoodSignal();
    figures.alignmentDone = true;
    figures.alignment = SentenceAlignment{true, -23.46, -17.21, 0.544};
    figures.seconds = 0.118;
    EXPECT_EQ(FormatVerdictFigures(figures),
              QStringLiteral("verdict 0 (pass): peak -3.0 dBFS, speech -20.0 dBFS, "
                             "noise -60.0 dBFS, voiced 3.00 s, clipped 0.00 %, "
                             "sentence yes (score -23.5, phone loop -17.2, longest word 0.54 s), "
                             "0.12 s"));
    figures.verdict = VerdictNotTheSentence;
    figures.alignment = SentenceAlignment{};
    EXPECT_TRUE(
        FormatVerdictFigures(figures).startsWith(QStringLiteral("verdict 6 (not the sentence): ")));
    EXPECT_TRUE(FormatVerdictFigures(figures).contains(QStringLiteral("sentence no,")));
}

// A reading of the sentence, as the aligner reports it.
SentenceAlignment GoodAlignment() {
    return SentenceAlignment{true, -24.0, -17.0, 0.6};
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

TEST_P(SentenceAcceptedTest, NeedsTheGrammarsEndACloseScoreAndPlausibleWords) {
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
                      false}),
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
