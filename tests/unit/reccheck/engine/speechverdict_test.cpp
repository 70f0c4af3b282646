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
    // The shortest: three 10 ms frames for each of the word's phones.
    const struct {
        const char* word;
        double seconds;
        double below;
        double shortest;
    } words[] = {{"living", 0.35, 3.0, 0.15},  {"without", 0.3, 1.0, 0.15},
                 {"an", 0.15, 6.0, 0.06},      {"aim", 0.1, 5.0, 0.06},
                 {"is", 0.1, 2.0, 0.06},       {"like", 0.25, 0.5, 0.09},
                 {"sailing", 0.45, 4.0, 0.15}, {"without", 0.3, 3.0, 0.15},
                 {"a", 0.06, 9.0, 0.03},       {"compass", 0.6, 2.0, 0.18}};
    for (const auto& w : words)
        alignment.words.push_back({QString::fromLatin1(w.word), w.seconds, w.below, w.shortest});
    return alignment;
}

// The word of the alignment at index.
AlignedWord& Word(SentenceAlignment& a, int index) {
    return a.words.at(static_cast<size_t>(index));
}

// Sets how far below the phone loop the frame words ("living without", "is like", "without")
// and the key words with their articles ("an aim", "sailing", "a compass") lie.
void FrameAndKeyWords(SentenceAlignment& a, double frameBelow, double keyBelow) {
    for (const int frame : {0, 1, 4, 5, 7})
        Word(a, frame).scoreBelowPhoneLoop = frameBelow;
    for (const int key : {2, 3, 6, 8, 9})
        Word(a, key).scoreBelowPhoneLoop = keyBelow;
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
    // The weakest key word is "an aim": (0.15 * 6 + 0.1 * 5) / 0.25 = 5.6; the frame words lie
    // 2.575 / 1.3 = 1.98 below.
    EXPECT_EQ(FormatVerdictFigures(figures),
              QStringLiteral("verdict 0 (pass): peak -3.0 dBFS, speech -20.0 dBFS, "
                             "noise -60.0 dBFS, voiced 3.00 s, clipped 0.00 %, "
                             "sentence yes (score -23.5, phone loop -17.2, longest word 0.54 s, "
                             "weakest key word 5.6 below, 3.6 below the frame words), 0.12 s"));
    figures.verdict = VerdictNotTheSentence;
    figures.alignment = SentenceAlignment{};
    EXPECT_TRUE(
        FormatVerdictFigures(figures).startsWith(QStringLiteral("verdict 6 (not the sentence): ")));
    EXPECT_TRUE(FormatVerdictFigures(figures).contains(QStringLiteral("sentence no,")));
}

TEST(VerdictFormatTest, AlignedLineTellsOfAPassedOverWord) {
    VerdictFigures figures;
    figures.verdict = VerdictNotTheSentence;
    figures.signal = GoodSignal();
    figures.alignmentDone = true;
    figures.alignment = GoodAlignment();
    EXPECT_FALSE(FormatVerdictFigures(figures).contains(QStringLiteral("passed over")));
    figures.alignment.words.at(3).seconds = figures.alignment.words.at(3).shortestSeconds;
    EXPECT_TRUE(FormatVerdictFigures(figures).contains(
        QStringLiteral("below the frame words, a content word passed over), ")));
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
        // The frame words far enough below that only the key word's own limit decides.
        AlignmentCase{"key_word_with_its_article_just_over",
                      [](SentenceAlignment& a) {
                          FrameAndKeyWords(a, 13.0, 9.0);
                          // (0.06 * 9 + 0.6 * 41) / 0.66 = 38.09: just over.
                          Word(a, 9).scoreBelowPhoneLoop = 41.0;
                      },
                      false},
        AlignmentCase{"key_word_with_its_article_just_within",
                      [](SentenceAlignment& a) {
                          FrameAndKeyWords(a, 13.0, 9.0);
                          // (0.06 * 9 + 0.6 * 40.8) / 0.66 = 37.91
                          Word(a, 9).scoreBelowPhoneLoop = 40.8;
                      },
                      true},
        // "an aim" run together: the short key word is judged with its article.
        AlignmentCase{"short_key_word_carried_by_its_article",
                      [](SentenceAlignment& a) {
                          Word(a, 2).seconds = 0.2;
                          Word(a, 2).scoreBelowPhoneLoop = 5.0;
                          // One frame more than "aim" can last.
                          Word(a, 3).seconds = 0.07;
                          Word(a, 3).scoreBelowPhoneLoop = 90.0;
                      },
                      true},
        AlignmentCase{"key_word_without_article_far_below",
                      [](SentenceAlignment& a) { Word(a, 6).scoreBelowPhoneLoop = 38.5; }, false},
        AlignmentCase{"frame_word_far_below_does_not_decide",
                      [](SentenceAlignment& a) { Word(a, 4).scoreBelowPhoneLoop = 60.0; }, true},
        // Another sentence on the frame: each key word within its limit, one of them far
        // worse than the frame words around it.
        AlignmentCase{"key_word_far_below_the_frame_words",
                      [](SentenceAlignment& a) { FrameAndKeyWords(a, 1.0, 30.0); }, false},
        AlignmentCase{"key_word_just_over_the_frame_words",
                      [](SentenceAlignment& a) {
                          FrameAndKeyWords(a, 10.0, 2.0);
                          Word(a, 6).scoreBelowPhoneLoop = 36.01;
                      },
                      false},
        AlignmentCase{"key_word_just_within_the_frame_words",
                      [](SentenceAlignment& a) {
                          FrameAndKeyWords(a, 10.0, 2.0);
                          Word(a, 6).scoreBelowPhoneLoop = 35.99;
                      },
                      true},
        // A phone-band microphone: every word fits worse, the key words not much worse.
        AlignmentCase{"every_word_far_below_alike",
                      [](SentenceAlignment& a) { FrameAndKeyWords(a, 20.0, 30.0); }, true},
        // "friends" in place of "an aim": "an" takes it, "aim" keeps only its fewest frames.
        AlignmentCase{"content_word_at_its_shortest",
                      [](SentenceAlignment& a) { Word(a, 3).seconds = Word(a, 3).shortestSeconds; },
                      false},
        AlignmentCase{"content_word_a_frame_longer",
                      [](SentenceAlignment& a) { Word(a, 3).seconds = 0.07; }, true},
        AlignmentCase{"first_content_word_at_its_shortest",
                      [](SentenceAlignment& a) { Word(a, 0).seconds = Word(a, 0).shortestSeconds; },
                      false},
        // Readers swallow short function words.
        AlignmentCase{"function_word_at_its_shortest_does_not_decide",
                      [](SentenceAlignment& a) {
                          Word(a, 4).seconds = Word(a, 4).shortestSeconds;
                          Word(a, 8).seconds = Word(a, 8).shortestSeconds;
                      },
                      true},
        AlignmentCase{"frame_words_missing",
                      [](SentenceAlignment& a) {
                          // "an aim", "sailing", "a compass" alone.
                          a.words = {a.words[2], a.words[3], a.words[6], a.words[8], a.words[9]};
                      },
                      false},
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
