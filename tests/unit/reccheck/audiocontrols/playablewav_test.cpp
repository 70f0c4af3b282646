#include "reccheck/soundout/playablewav.h"
#include "support/qtprint.h"
#include "support/wavbytes.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QByteArray SixBytes = QByteArray::fromHex("0100ff7f0080");

struct PlayableCase {
    const char* name;
    QByteArray bytes;
    // The format and sample bytes read, or the reason given.
    QAudioFormat::SampleFormat sampleFormat;
    int channels;
    int rate;
    QByteArray samples;
    QString error;
};

PlayableCase Plays(const char* name, const QByteArray& bytes, QAudioFormat::SampleFormat format,
                   int channels, int rate, const QByteArray& samples) {
    return {name, bytes, format, channels, rate, samples, QString()};
}

PlayableCase Refused(const char* name, const QByteArray& bytes, const char* error) {
    return {name, bytes, QAudioFormat::Unknown, 0, 0, QByteArray(), QString::fromUtf8(error)};
}

class PlayableWavFile : public testing::TestWithParam<PlayableCase> {};

TEST_P(PlayableWavFile, IsReadOrRefusedWithItsReason) {
    const PlayableCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sound.wav"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(c.bytes);
    file.close();

    QString error;
    const std::optional<PlayableWav> wav = ReadPlayableWav(path, &error);
    EXPECT_EQ(error, c.error);
    ASSERT_EQ(wav.has_value(), c.error.isEmpty());
    if (!wav)
        return;
    EXPECT_EQ(wav->format.sampleFormat(), c.sampleFormat);
    EXPECT_EQ(wav->format.channelCount(), c.channels);
    EXPECT_EQ(wav->format.sampleRate(), c.rate);
    EXPECT_EQ(wav->samples, c.samples);
}

INSTANTIATE_TEST_SUITE_P(
    Files, PlayableWavFile,
    testing::Values(
        Plays("pcm16_mono",
              Riff(Chunk("fmt ", FormatBody(1, 1, 16000, 16)) + Chunk("data", SixBytes)),
              QAudioFormat::Int16, 1, 16000, SixBytes),
        Plays("float_stereo",
              Riff(Chunk("fmt ", FormatBody(3, 2, 44100, 32)) + Chunk("LIST", "ab") +
                   Chunk("data", SixBytes + "xy")),
              QAudioFormat::Float, 2, 44100, SixBytes + "xy"),
        Plays("unsigned_8_bit_odd_data",
              Riff(Chunk("fmt ", FormatBody(1, 1, 8000, 8)) + Chunk("data", "abc")),
              QAudioFormat::UInt8, 1, 8000, "abc"),
        Plays("extensible_pcm",
              Riff(Chunk("fmt ", ExtensibleFormatBody(1, 22050, 1)) + Chunk("data", SixBytes)),
              QAudioFormat::Int16, 1, 22050, SixBytes),
        // A data chunk cut short by the end of the file plays its whole frames.
        Plays("data_cut_short",
              Riff(Chunk("fmt ", FormatBody(1, 1, 16000, 16)) + "data" + Le32(100) +
                   SixBytes.left(5)),
              QAudioFormat::Int16, 1, 16000, SixBytes.left(4)),
        Refused("compressed",
                Riff(Chunk("fmt ", FormatBody(2, 1, 16000, 4)) + Chunk("data", SixBytes)),
                "不支持的声音格式（格式 2，4 位）"),
        Refused("three_channels",
                Riff(Chunk("fmt ", FormatBody(1, 3, 16000, 16)) + Chunk("data", SixBytes)),
                "声音格式信息有误"),
        Refused("format_too_short",
                Riff(Chunk("fmt ", FormatBody(1, 1, 16000, 16).left(14)) + Chunk("data", SixBytes)),
                "格式信息不完整"),
        Refused("data_before_format",
                Riff(Chunk("data", SixBytes) + Chunk("fmt ", FormatBody(1, 1, 16000, 16))),
                "文件里没有声音格式信息或声音数据"),
        Refused("less_than_a_frame",
                Riff(Chunk("fmt ", FormatBody(1, 2, 16000, 16)) + Chunk("data", "abc")),
                "文件里没有声音"),
        Refused("not_riff", QByteArray("RIFX") + Le32(4) + "WAVE", "不是 WAV 声音文件")),
    [](const testing::TestParamInfo<PlayableCase>& info) { return std::string(info.param.name); });

TEST(PlayableWavFile, MissingFileIsNamedSo) {
    QString error;
    EXPECT_FALSE(ReadPlayableWav(QStringLiteral("/nonexistent/sound.wav"), &error));
    EXPECT_EQ(error, QStringLiteral("文件不存在"));
}

} // namespace
