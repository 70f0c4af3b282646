#include "reccheck/engine/wavfile.h"
#include "support/qtprint.h"
#include "support/wavbytes.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

namespace {

const QByteArray Samples = Le16(1) + Le16(0x7FFF) + Le16(0x8000) + Le16(0xFFFF);
const QByteArray MonoFormat = Chunk("fmt ", FormatBody(1, 1, 16000, 16));

class WavFileTest : public testing::Test {
protected:
    QString Write(const QByteArray& bytes) {
        const QString path = Dir.filePath(QStringLiteral("test.wav"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QTemporaryDir Dir;
};

TEST_F(WavFileTest, WrittenFileHasTheRealLengthsAndReadsBack) {
    const QString path = Dir.filePath(QStringLiteral("out.wav"));
    QString error;
    ASSERT_TRUE(WriteWav(path, 16000, Samples, &error)) << error.toStdString();

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes, Riff(MonoFormat + Chunk("data", Samples)));

    const std::optional<WavData> wav = ReadWav(path, &error);
    ASSERT_TRUE(wav) << error.toStdString();
    EXPECT_EQ(wav->sampleRate, 16000);
    EXPECT_EQ(wav->channels, 1);
    EXPECT_EQ(wav->pcm16, Samples);
}

TEST_F(WavFileTest, WritingEmptySamplesGivesAnEmptyDataChunk) {
    const QString path = Dir.filePath(QStringLiteral("empty.wav"));
    ASSERT_TRUE(WriteWav(path, 8000, QByteArray(), nullptr));
    const std::optional<WavData> wav = ReadWav(path, nullptr);
    ASSERT_TRUE(wav);
    EXPECT_EQ(wav->sampleRate, 8000);
    EXPECT_TRUE(wav->pcm16.isEmpty());
    EXPECT_EQ(QFile(path).size(), 44);
}

TEST_F(WavFileTest, WritingIntoAMissingDirectoryFailsWithAReason) {
    QString error;
    EXPECT_FALSE(
        WriteWav(Dir.filePath(QStringLiteral("no/such/dir/out.wav")), 16000, Samples, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(Pcm16SamplesTest, DecodesLittleEndianSignedSamples) {
    EXPECT_EQ(Pcm16Samples(Samples), (std::vector<qint16>{1, 32767, -32768, -1}));
    EXPECT_EQ(Pcm16Samples(Samples + 'x').size(), 4u);
}

TEST(Pcm16SamplesTest, NoWholeSampleGivesNoSamples) {
    EXPECT_TRUE(Pcm16Samples(QByteArray()).empty());
    EXPECT_TRUE(Pcm16Samples(QByteArray("x")).empty());
}

struct ReadableCase {
    const char* name;
    QByteArray bytes;
    int channels;
    QByteArray pcm16;
};

void PrintTo(const ReadableCase& c, std::ostream* os) {
    *os << c.name;
}

class ReadableWav : public WavFileTest, public testing::WithParamInterface<ReadableCase> {};

TEST_P(ReadableWav, GivesFormatAndSamples) {
    const ReadableCase& c = GetParam();
    QString error;
    const std::optional<WavData> wav = ReadWav(Write(c.bytes), &error);
    ASSERT_TRUE(wav) << error.toStdString();
    EXPECT_EQ(wav->sampleRate, 16000);
    EXPECT_EQ(wav->channels, c.channels);
    EXPECT_EQ(wav->pcm16, c.pcm16);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadableWav,
    testing::Values(
        ReadableCase{"plain", Riff(MonoFormat + Chunk("data", Samples)), 1, Samples},
        ReadableCase{"odd_chunk_before_data_is_skipped",
                     Riff(MonoFormat + Chunk("LIST", "abc") + Chunk("data", Samples)), 1, Samples},
        ReadableCase{"chunks_after_data_ignored",
                     Riff(MonoFormat + Chunk("data", Samples) + Chunk("junk", "zz")), 1, Samples},
        ReadableCase{
            "extensible_pcm",
            Riff(Chunk("fmt ", ExtensibleFormatBody(1, 16000, 1)) + Chunk("data", Samples)), 1,
            Samples},
        ReadableCase{"stereo",
                     Riff(Chunk("fmt ", FormatBody(1, 2, 16000, 16)) + Chunk("data", Samples)), 2,
                     Samples},
        ReadableCase{
            "partial_sample_frame_dropped",
            Riff(Chunk("fmt ", FormatBody(1, 2, 16000, 16)) + Chunk("data", Samples + "\x01\x02")),
            2, Samples}),
    [](const testing::TestParamInfo<ReadableCase>& info) { return info.param.name; });

struct UnreadableCase {
    const char* name;
    QByteArray bytes;
    const char* reason;
};

void PrintTo(const UnreadableCase& c, std::ostream* os) {
    *os << c.name;
}

class UnreadableWav : public WavFileTest, public testing::WithParamInterface<UnreadableCase> {};

TEST_P(UnreadableWav, IsRejectedWithItsReason) {
    const UnreadableCase& c = GetParam();
    QString error;
    EXPECT_FALSE(ReadWav(Write(c.bytes), &error));
    EXPECT_TRUE(error.contains(QLatin1String(c.reason))) << error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnreadableWav,
    testing::Values(
        UnreadableCase{"empty", QByteArray(), "not a RIFF WAV"},
        UnreadableCase{"text", "Living without an aim is like sailing without a compass.\n",
                       "not a RIFF WAV"},
        UnreadableCase{"riff_but_not_wave", "RIFF" + Le32(4) + "AVI ", "not a RIFF WAV"},
        UnreadableCase{"header_cut", Riff(MonoFormat).left(30), "truncated"},
        UnreadableCase{"data_cut", Riff(MonoFormat + Chunk("data", Samples)).chopped(3),
                       "truncated"},
        UnreadableCase{"data_length_beyond_file", Riff(MonoFormat + Chunk("data", Samples, 1000)),
                       "truncated"},
        UnreadableCase{"no_data_chunk", Riff(MonoFormat), "no data chunk"},
        UnreadableCase{"no_format_chunk", Riff(Chunk("LIST", "ab")), "no format chunk"},
        UnreadableCase{"data_before_format", Riff(Chunk("data", Samples) + MonoFormat),
                       "before the format"},
        UnreadableCase{"eight_bit",
                       Riff(Chunk("fmt ", FormatBody(1, 1, 16000, 8)) + Chunk("data", "ab")),
                       "8 bits"},
        UnreadableCase{"float",
                       Riff(Chunk("fmt ", FormatBody(3, 1, 16000, 32)) + Chunk("data", Samples)),
                       "not PCM"},
        UnreadableCase{
            "extensible_float",
            Riff(Chunk("fmt ", ExtensibleFormatBody(1, 16000, 3)) + Chunk("data", Samples)),
            "not PCM"},
        UnreadableCase{"short_format", Riff(Chunk("fmt ", Le16(1)) + Chunk("data", Samples)),
                       "too short"},
        UnreadableCase{"zero_channels",
                       Riff(Chunk("fmt ", FormatBody(1, 0, 16000, 16)) + Chunk("data", Samples)),
                       "inconsistent"},
        UnreadableCase{"zero_rate",
                       Riff(Chunk("fmt ", FormatBody(1, 1, 0, 16)) + Chunk("data", Samples)),
                       "inconsistent"}),
    [](const testing::TestParamInfo<UnreadableCase>& info) { return info.param.name; });

TEST_F(WavFileTest, MissingFileIsRejectedWithItsReason) {
    QString error;
    EXPECT_FALSE(ReadWav(Dir.filePath(QStringLiteral("missing.wav")), &error));
    EXPECT_TRUE(error.contains(QLatin1String("cannot open"))) << error.toStdString();
}

} // namespace
