#include "wavfile.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>
#include <cstring>

namespace {

constexpr quint16 FormatPcm = 1;
constexpr quint16 FormatExtensible = 0xFFFE;
constexpr int PcmHeaderSize = 44;
// Far beyond any recording the check makes; stops a stray huge file from being read whole.
constexpr qint64 MaxFileSize = 64 * 1024 * 1024;
constexpr quint32 MaxSampleRate = 768000;

void SetError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

quint16 Le16(const char* at) {
    return qFromLittleEndian<quint16>(at);
}
quint32 Le32(const char* at) {
    return qFromLittleEndian<quint32>(at);
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

struct Format {
    quint16 tag = 0;
    quint16 channels = 0;
    quint32 sampleRate = 0;
    quint16 blockAlign = 0;
    quint16 bitsPerSample = 0;
};

// The format tag of WAVE_FORMAT_EXTENSIBLE lives in the first two bytes of its sub-format GUID.
std::optional<Format> ParseFormat(const char* chunk, quint32 size, QString* error) {
    if (size < 16) {
        SetError(error, QStringLiteral("the format chunk is too short"));
        return std::nullopt;
    }
    Format format;
    format.tag = Le16(chunk);
    format.channels = Le16(chunk + 2);
    format.sampleRate = Le32(chunk + 4);
    format.blockAlign = Le16(chunk + 12);
    format.bitsPerSample = Le16(chunk + 14);
    if (format.tag == FormatExtensible && size >= 40)
        format.tag = Le16(chunk + 24);
    if (format.tag != FormatPcm) {
        SetError(error, QStringLiteral("the samples are not PCM (format %1)").arg(format.tag));
        return std::nullopt;
    }
    if (format.bitsPerSample != 16) {
        SetError(error,
                 QStringLiteral("the samples have %1 bits, not 16").arg(format.bitsPerSample));
        return std::nullopt;
    }
    if (format.channels == 0 || format.sampleRate == 0 || format.sampleRate > MaxSampleRate ||
        format.blockAlign != format.channels * 2) {
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
    const char* const begin = bytes.constData();
    const qint64 total = bytes.size();
    if (total < 12 || std::memcmp(begin, "RIFF", 4) != 0 ||
        std::memcmp(begin + 8, "WAVE", 4) != 0) {
        SetError(error, QStringLiteral("not a RIFF WAV file"));
        return std::nullopt;
    }

    std::optional<Format> format;
    qint64 at = 12;
    while (at + 8 <= total) {
        const char* const chunkId = begin + at;
        const qint64 chunkSize = Le32(begin + at + 4);
        const qint64 bodyAt = at + 8;
        const qint64 available = total - bodyAt;
        if (std::memcmp(chunkId, "fmt ", 4) == 0) {
            if (chunkSize > available) {
                SetError(error, QStringLiteral("the file is truncated in its format chunk"));
                return std::nullopt;
            }
            format = ParseFormat(begin + bodyAt, static_cast<quint32>(chunkSize), error);
            if (!format)
                return std::nullopt;
        } else if (std::memcmp(chunkId, "data", 4) == 0) {
            if (!format) {
                SetError(error, QStringLiteral("the data chunk comes before the format chunk"));
                return std::nullopt;
            }
            if (chunkSize > available) {
                SetError(error, QStringLiteral("the file is truncated: %1 of %2 data bytes")
                                    .arg(available)
                                    .arg(chunkSize));
                return std::nullopt;
            }
            // A partial sample frame at the end carries no usable sample.
            const qint64 usable = chunkSize - chunkSize % format->blockAlign;
            WavData wav;
            wav.sampleRate = static_cast<int>(format->sampleRate);
            wav.channels = format->channels;
            wav.pcm16 = bytes.mid(bodyAt, usable);
            return wav;
        }
        // Chunks are padded to an even length.
        at = bodyAt + chunkSize + (chunkSize & 1);
    }
    SetError(error, format ? QStringLiteral("the file has no data chunk")
                           : QStringLiteral("the file has no format chunk"));
    return std::nullopt;
}

std::vector<qint16> Pcm16Samples(const QByteArray& pcm16) {
    std::vector<qint16> samples(static_cast<size_t>(pcm16.size() / 2));
    // An empty vector has no buffer, and the copy must not be given a null pointer.
    if (!samples.empty())
        qFromLittleEndian<qint16>(pcm16.constData(), static_cast<qsizetype>(samples.size()),
                                  samples.data());
    return samples;
}
