#include "reccheck/audiocontrols/playablewav.h"

#include <QFile>
#include <QtEndian>

namespace {

constexpr quint16 FormatPcm = 1;
constexpr quint16 FormatFloat = 3;
constexpr quint16 FormatExtensible = 0xFFFE;
// Prompt sounds last seconds; this refuses a stray huge file before it is read whole.
constexpr qint64 MaxFileSize = 64 * 1024 * 1024;

quint16 Le16(const char* at) {
    return qFromLittleEndian<quint16>(at);
}
quint32 Le32(const char* at) {
    return qFromLittleEndian<quint32>(at);
}

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

// The fmt chunk; WAVE_FORMAT_EXTENSIBLE keeps the real tag in its sub-format's first bytes.
std::optional<QAudioFormat> ParseFormat(const char* chunk, quint32 size, QString* error) {
    if (size < 16) {
        *error = QStringLiteral("格式信息不完整");
        return std::nullopt;
    }
    quint16 tag = Le16(chunk);
    const quint16 channels = Le16(chunk + 2);
    const quint32 rate = Le32(chunk + 4);
    const quint16 blockAlign = Le16(chunk + 12);
    const quint16 bits = Le16(chunk + 14);
    if (tag == FormatExtensible && size >= 40)
        tag = Le16(chunk + 24);
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
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") {
        *error = QStringLiteral("不是 WAV 声音文件");
        return std::nullopt;
    }
    std::optional<QAudioFormat> format;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const qsizetype available = bytes.size() - (at + 8);
        const qsizetype size = std::min<qsizetype>(Le32(bytes.constData() + at + 4), available);
        const char* body = bytes.constData() + at + 8;
        if (id == "fmt ") {
            format = ParseFormat(body, quint32(size), error);
            if (!format)
                return std::nullopt;
        } else if (id == "data") {
            if (!format)
                break;
            const qsizetype frameBytes = format->bytesPerFrame();
            const qsizetype wholeFrames = size / frameBytes * frameBytes;
            if (wholeFrames == 0) {
                *error = QStringLiteral("文件里没有声音");
                return std::nullopt;
            }
            return PlayableWav{*format, QByteArray(body, wholeFrames)};
        }
        at += 8 + size + (size & 1);
    }
    *error = QStringLiteral("文件里没有声音格式信息或声音数据");
    return std::nullopt;
}
