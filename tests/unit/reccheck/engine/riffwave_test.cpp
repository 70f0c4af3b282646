#include "reccheck/soundout/riffwave.h"
#include "support/qtprint.h"
#include "support/wavbytes.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

// "id:declared:available" for each chunk the walk visits.
QString Walk(const QByteArray& bytes) {
    QStringList visited;
    WalkRiffChunks(bytes, [&](const RiffChunk& chunk) {
        visited << QStringLiteral("%1:%2:%3")
                       .arg(QString::fromLatin1(chunk.id))
                       .arg(chunk.declaredSize)
                       .arg(chunk.available);
        return true;
    });
    return visited.join(QLatin1Char(' '));
}

struct WalkCase {
    const char* name;
    QByteArray bytes;
    QString visited;
};

class RiffWalk : public testing::TestWithParam<WalkCase> {};

TEST_P(RiffWalk, VisitsTheChunksTheFileHolds) {
    EXPECT_EQ(Walk(GetParam().bytes), GetParam().visited);
}

INSTANTIATE_TEST_SUITE_P(
    Files, RiffWalk,
    testing::Values(WalkCase{"two_chunks", Riff("abcd" + Le32(2) + "xy" + "data" + Le32(0)),
                             "abcd:2:2 data:0:0"},
                    // An odd chunk is followed by a pad byte that belongs to no chunk.
                    WalkCase{"odd_chunk_padded",
                             Riff("abcd" + Le32(1) + QByteArray("x\0", 2) + "data" + Le32(1) + "z"),
                             "abcd:1:1 data:1:1"},
                    WalkCase{"body_cut_short", Riff("data" + Le32(100) + "xyz"), "data:100:3"},
                    WalkCase{"huge_declared_size", Riff("data" + Le32(0xFFFFFFFFu) + "xy"),
                             "data:4294967295:2"},
                    // A chunk header cut short is no chunk.
                    WalkCase{"header_cut_short", Riff("abcd" + Le32(0) + "dat"), "abcd:0:0"},
                    WalkCase{"no_chunks", Riff(QByteArray()), ""}),
    [](const testing::TestParamInfo<WalkCase>& info) { return std::string(info.param.name); });

TEST(RiffWalk, StopsWhenTheVisitorSaysSo) {
    int visits = 0;
    WalkRiffChunks(Riff("abcd" + Le32(0) + "efgh" + Le32(0)), [&](const RiffChunk&) {
        ++visits;
        return false;
    });
    EXPECT_EQ(visits, 1);
}

TEST(RiffHeader, IsRecognisedOnlyWhole) {
    EXPECT_TRUE(IsRiffWave(Riff(QByteArray())));
    EXPECT_FALSE(IsRiffWave(QByteArray("RIFF\0\0\0\0WAV", 11)));
    EXPECT_FALSE(IsRiffWave("RIFX" + Le32(4) + "WAVE"));
    EXPECT_FALSE(IsRiffWave("RIFF" + Le32(4) + "AVI "));
}

} // namespace
