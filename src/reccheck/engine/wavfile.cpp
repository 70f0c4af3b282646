#include "wavfile.h"

#include "reccheck/soundout/riffwave.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>

namespace {

constexpr quint16 FormatPcm = 1;
constexpr int PcmHeaderSize = 44;
// Far beyond any recording the check makes; stops a stray huge file from being read whole.
constexpr qint64 MaxFileSize = qint64{64} * 1024 * 1024;
constexpr quint32 MaxSampleRate = 768000;

void SetError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

void PutLe16(QByteArray& out, quint16 value) {
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void PutLe32(QByteArray& out, quint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

// The recording check reads only what it writes: 16-bit PCM.
std::optional<WaveFormatFields> CheckFormat(const RiffChunk& chunk, QString* error) {
    const std::optional<WaveFormatFields> format = ReadWaveFormat(chunk.body, chunk.declaredSize);
    if (!format) {
        SetError(error, QStringLiteral("the format chunk is too short"));
        return std::nullopt;
    }
    if (format->tag != FormatPcm) {
        SetError(error, QStringLiteral("the samples are not PCM (format %1)").arg(format->tag));
        return std::nullopt;
    }
    if (format->bitsPerSample != 16) {
        SetError(error,
                 QStringLiteral("the samples have %1 bits, not 16").arg(format->bitsPerSample));
        return std::nullopt;
    }
    if (format->channels == 0 || format->sampleRate == 0 || format->sampleRate > MaxSampleRate ||
        format->blockAlign != format->channels * 2) {
        SetError(error, QStringLiteral("the format chunk is inconsistent"));
        return std::nullopt;
    }
    return format;
}

} // namespace

bool WriteWav(const QString& path, int sampleRate, const QByteArray& pcm16mono, QString* error) {
    const quint32 dataSize = static_cast<quint32>(pcm16mono.size());
    QByteArray header;
    header.reserve(PcmHeaderSize);
    header.append("RIFF", 4);
    PutLe32(header, PcmHeaderSize - 8 + dataSize);
    header.append("WAVEfmt ", 8);
    PutLe32(header, 16);
    PutLe16(header, FormatPcm);
    PutLe16(header, 1);
    PutLe32(header, static_cast<quint32>(sampleRate));
    PutLe32(header, static_cast<quint32>(sampleRate) * 2);
    PutLe16(header, 2);
    PutLe16(header, 16);
    header.append("data", 4);
    PutLe32(header, dataSize);

    // Written beside the target and renamed over it, so no reader ever sees a cut file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(header) != header.size() ||
        file.write(pcm16mono) != pcm16mono.size() || !file.commit()) {
        SetError(error, QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

std::optional<WavData> ReadWav(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        SetError(error, QStringLiteral("cannot open %1: %2").arg(path, file.errorString()));
        return std::nullopt;
    }
    if (file.size() > MaxFileSize) {
        SetError(error, QStringLiteral("the file is too large (%1 bytes)").arg(file.size()));
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (!IsRiffWave(bytes)) {
        SetError(error, QStringLiteral("not a RIFF WAV file"));
        return std::nullopt;
    }

    std::optional<WaveFormatFields> format;
    std::optional<WavData> wav;
    bool failed = false;
    WalkRiffChunks(bytes, [&](const RiffChunk& chunk) {
        if (chunk.id == "fmt ") {
            if (chunk.available < chunk.declaredSize) {
                SetError(error, QStringLiteral("the file is truncated in its format chunk"));
                failed = true;
                return false;
            }
            format = CheckFormat(chunk, error);
            failed = !format;
            return !failed;
        }
        if (chunk.id != "data")
            return true;
        if (!format) {
            SetError(error, QStringLiteral("the data chunk comes before the format chunk"));
        } else if (chunk.available < chunk.declaredSize) {
            SetError(error, QStringLiteral("the file is truncated: %1 of %2 data bytes")
                                .arg(chunk.available)
                                .arg(chunk.declaredSize));
        } else {
            // A partial sample frame at the end carries no usable sample.
            const qint64 usable = chunk.declaredSize - chunk.declaredSize % format->blockAlign;
            wav = WavData{static_cast<int>(format->sampleRate), format->channels,
                          QByteArray(chunk.body, usable)};
        }
        failed = !wav;
        return false;
    });
    if (!wav && !failed)
        SetError(error, format ? QStringLiteral("the file has no data chunk")
                               : QStringLiteral("the file has no format chunk"));
    return wav;
}

std::vector<qint16> Pcm16Samples(const QByteArray& pcm16) {
    std::vector<qint16> samples(static_cast<size_t>(pcm16.size() / 2));
    // An empty vector has no buffer, and the copy must not be given a null pointer.
    if (!samples.empty())
        qFromLittleEndian<qint16>(pcm16.constData(), static_cast<qsizetype>(samples.size()),
                                  samples.data());
    return samples;
}
