#include "reccheck/soundout/playablewav.h"

#include "reccheck/soundout/riffwave.h"

#include <QFile>

namespace {

constexpr quint16 FormatPcm = 1;
constexpr quint16 FormatFloat = 3;
// Prompt sounds last seconds; this refuses a stray huge file before it is read whole.
constexpr qint64 MaxFileSize = qint64{64} * 1024 * 1024;

QAudioFormat::SampleFormat SampleFormatOf(quint16 tag, quint16 bits) {
    if (tag == FormatFloat)
        return bits == 32 ? QAudioFormat::Float : QAudioFormat::Unknown;
    if (tag != FormatPcm)
        return QAudioFormat::Unknown;
    switch (bits) {
    case 8:
        return QAudioFormat::UInt8;
    case 16:
        return QAudioFormat::Int16;
    case 32:
        return QAudioFormat::Int32;
    default:
        return QAudioFormat::Unknown;
    }
}

// A file cut short in its format chunk is read as far as it goes.
std::optional<QAudioFormat> ParseFormat(const RiffChunk& chunk, QString* error) {
    const std::optional<WaveFormatFields> fields = ReadWaveFormat(chunk.body, chunk.available);
    if (!fields) {
        *error = QStringLiteral("格式信息不完整");
        return std::nullopt;
    }
    const quint16 tag = fields->tag;
    const quint16 channels = fields->channels;
    const quint32 rate = fields->sampleRate;
    const quint16 blockAlign = fields->blockAlign;
    const quint16 bits = fields->bitsPerSample;
    const QAudioFormat::SampleFormat sampleFormat = SampleFormatOf(tag, bits);
    if (sampleFormat == QAudioFormat::Unknown) {
        *error = QStringLiteral("不支持的声音格式（格式 %1，%2 位）").arg(tag).arg(bits);
        return std::nullopt;
    }
    if (channels < 1 || channels > 2 || rate == 0 || rate > 384000 ||
        blockAlign != channels * bits / 8) {
        *error = QStringLiteral("声音格式信息有误");
        return std::nullopt;
    }
    QAudioFormat format;
    format.setSampleFormat(sampleFormat);
    format.setChannelCount(channels);
    format.setSampleRate(int(rate));
    return format;
}

} // namespace

std::optional<PlayableWav> ReadPlayableWav(const QString& path, QString* error) {
    QFile file(path);
    if (!file.exists()) {
        *error = QStringLiteral("文件不存在");
        return std::nullopt;
    }
    if (file.size() > MaxFileSize) {
        *error = QStringLiteral("文件太大");
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (!IsRiffWave(bytes)) {
        *error = QStringLiteral("不是 WAV 声音文件");
        return std::nullopt;
    }
    std::optional<QAudioFormat> format;
    std::optional<PlayableWav> wav;
    bool failed = false;
    WalkRiffChunks(bytes, [&](const RiffChunk& chunk) {
        if (chunk.id == "fmt ") {
            format = ParseFormat(chunk, error);
            failed = !format;
            return !failed;
        }
        if (chunk.id != "data")
            return true;
        if (format) {
            // A data chunk cut short by the end of the file plays what is there.
            const qsizetype frameBytes = format->bytesPerFrame();
            const qsizetype wholeFrames = chunk.available / frameBytes * frameBytes;
            if (wholeFrames == 0) {
                *error = QStringLiteral("文件里没有声音");
                failed = true;
            } else {
                wav = PlayableWav{*format, QByteArray(chunk.body, wholeFrames)};
            }
        }
        return false;
    });
    if (!wav && !failed)
        *error = QStringLiteral("文件里没有声音格式信息或声音数据");
    return wav;
}
