#include "reccheck/engine/sentencealignment.h"
#include "support/qtprint.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
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

} // namespace
