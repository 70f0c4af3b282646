#include "reccheck/engine/sentencealignment.h"
#include "reccheck/engine/speechengine.h"
#include "reccheck/engine/wavfile.h"
#include "support/qtprint.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <vector>

namespace {

TEST(SentenceAlignerTest, SentenceWithAnUnknownWordIsRefused) {
    QString error;
    EXPECT_FALSE(TSentenceAligner::Create(DefaultSpeechModelDir(),
                                          QStringLiteral("Living without a zqxjkv."), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("dictionary"))) << error.toStdString();
}

TEST(SentenceAlignerTest, MissingModelIsRefused) {
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(TSentenceAligner::Create(dir.path(), QStringLiteral("living"), &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("no speech model in"))) << error.toStdString();
}

TEST(SentenceAlignerTest, SilenceAndNothingDoNotAlign) {
    QString error;
    const auto aligner = TSentenceAligner::Create(DefaultSpeechModelDir(),
                                                  QStringLiteral("Living without an aim!"), &error);
    ASSERT_TRUE(aligner) << error.toStdString();
    const std::vector<qint16> silence(16000 * 3);
    EXPECT_FALSE(aligner->Align(silence.data(), silence.size()).found);
    EXPECT_FALSE(aligner->Align(silence.data(), 0).found);
}

// Each word's shortest is three 10 ms frames for each of its phones in the dictionary, and no
// word of a reading is aligned shorter.
TEST(SentenceAlignerTest, WordsKnowTheirShortest) {
    QString error;
    const auto aligner =
        TSentenceAligner::Create(DefaultSpeechModelDir(), QString::fromUtf8(CheckSentence), &error);
    ASSERT_TRUE(aligner) << error.toStdString();
    const std::optional<WavData> wav = ReadWav(
        QStringLiteral(PARVELO_ENGINE_FIXTURES "/sentence_through_virtual_microphone.wav"), &error);
    ASSERT_TRUE(wav) << error.toStdString();
    const std::vector<qint16> samples = Pcm16Samples(wav->pcm16);
    const SentenceAlignment alignment = aligner->Align(samples.data(), samples.size());
    ASSERT_TRUE(alignment.found);
    const struct {
        const char* word;
        int phones;
    } table[] = {{"living", 5}, {"without", 5}, {"an", 2},      {"aim", 2}, {"is", 2},
                 {"like", 3},   {"sailing", 5}, {"without", 5}, {"a", 1},   {"compass", 6}};
    ASSERT_EQ(alignment.words.size(), std::size(table));
    for (size_t i = 0; i < std::size(table); ++i) {
        const AlignedWord& word = alignment.words[i];
        EXPECT_EQ(word.word, QLatin1String(table[i].word));
        EXPECT_DOUBLE_EQ(word.shortestSeconds, table[i].phones * 3 * 0.01) << table[i].word;
        EXPECT_GE(word.seconds, word.shortestSeconds) << table[i].word;
    }
}

} // namespace
