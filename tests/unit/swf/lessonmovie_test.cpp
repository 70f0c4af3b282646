#include "lessonmovie.h"
#include "swfreader.h"
#include "tags.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

// Tag codes as the file format numbers them.
constexpr int ShowFrame = 1;
constexpr int DoAction = 12;
constexpr int DefineSound = 14;
constexpr int StartSound = 15;
constexpr int PlaceObject2 = 26;

TEST(SoundTags, DefineSoundHoldsUncompressedSixteenBitMonoSamples) {
    const std::pair<int, std::uint8_t> rates[] = {
        {5512, 0x32}, {11025, 0x36}, {22050, 0x3A}, {44100, 0x3E}};
    for (const auto& [rate, formatByte] : rates) {
        const SwfFile file =
            ReadSwf(QByteArray("FWS") + QByteArray(1, 8) + QByteArray::fromHex("00000000") +
                    QByteArray(1, 0) + QByteArray::fromHex("00010000") +
                    DefineSoundTag(7, {1, -2, 32767}, rate) + QByteArray::fromHex("0000"));
        ASSERT_EQ(file.tags.size(), 2U);
        EXPECT_EQ(file.tags[0].code, DefineSound);
        // Id 7; format 3, the rate, 16 bits, mono; three samples, little-endian.
        EXPECT_EQ(file.tags[0].body, QByteArray::fromHex("0700") + QByteArray(1, char(formatByte)) +
                                         QByteArray::fromHex("03000000"
                                                             "0100"
                                                             "feff"
                                                             "ff7f"))
            << rate;
    }
    EXPECT_THROW(DefineSoundTag(1, {0}, 16000), std::invalid_argument);
}

TEST(SoundTags, StartSoundDoesNotStartAPlayingSoundAgain) {
    // Id, then the sound info: only "no multiple" set, no envelope, loops or limits.
    EXPECT_EQ(StartSoundTag(3), QByteArray::fromHex("c303"
                                                    "0300"
                                                    "10"));
}

class LessonMovieFile : public testing::Test {
protected:
    static void SetUpTestSuite() { file = new SwfFile(ReadSwf(LessonMovie())); }
    static void TearDownTestSuite() { delete file; }
    static SwfFile* file;
};
SwfFile* LessonMovieFile::file = nullptr;

int FirstTag(const SwfFile& file, int code) {
    const auto found = std::find_if(file.tags.begin(), file.tags.end(),
                                    [code](const SwfTag& tag) { return tag.code == code; });
    return found == file.tags.end() ? -1 : static_cast<int>(found - file.tags.begin());
}

// The picture changes in every frame and the timeline never stops, so a page always shows a
// moving player.
TEST_F(LessonMovieFile, MovesInEveryFrameAndRepeats) {
    EXPECT_EQ(file->frameSize.xMax, 320 * 20);
    EXPECT_EQ(file->frameSize.yMax, 160 * 20);
    int frames = 0;
    int movesInFrame = 0;
    for (const SwfTag& tag : file->tags) {
        if (tag.code == PlaceObject2)
            ++movesInFrame;
        if (tag.code == ShowFrame) {
            EXPECT_GE(movesInFrame, 1) << "frame " << frames;
            movesInFrame = 0;
            ++frames;
        }
    }
    EXPECT_EQ(frames, file->frameCount);
    EXPECT_EQ(FirstTag(*file, DoAction), -1) << "no stop";
}

// The sound is defined before the first frame starts it, and lasts one round of the timeline.
TEST_F(LessonMovieFile, TheFirstFrameStartsAToneAsLongAsARound) {
    const int define = FirstTag(*file, DefineSound);
    const int start = FirstTag(*file, StartSound);
    ASSERT_GE(define, 0);
    ASSERT_GT(start, define);
    EXPECT_LT(start, FirstTag(*file, ShowFrame));
    BitReader in(file->tags[static_cast<std::size_t>(define)].body);
    in.ReadBytes(3);
    const std::uint32_t samples = in.ReadUI32();
    EXPECT_NEAR(samples / 11025.0, file->frameCount / file->frameRate, 0.01);
    int peak = 0;
    while (!in.AtEnd())
        peak = std::max(peak, std::abs(static_cast<std::int16_t>(in.ReadUI16())));
    EXPECT_GT(peak, 8000) << "loud enough to hear";
}

} // namespace
