#pragma once

// Builders of RIFF WAV bytes for the tests of the readers.

#include <QByteArray>
#include <QtEndian>

inline QByteArray Le16(quint16 value) {
    QByteArray bytes(2, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

inline QByteArray Le32(quint32 value) {
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

// A chunk whose header declares declaredSize, padded to an even length.
inline QByteArray Chunk(const char* id, const QByteArray& body, quint32 declaredSize) {
    QByteArray chunk = QByteArray(id, 4) + Le32(declaredSize) + body;
    if (body.size() % 2 == 1)
        chunk += '\0';
    return chunk;
}

inline QByteArray Chunk(const char* id, const QByteArray& body) {
    return Chunk(id, body, static_cast<quint32>(body.size()));
}

inline QByteArray FormatBody(quint16 tag, quint16 channels, quint32 rate, quint16 bits) {
    const quint16 blockAlign = channels * bits / 8;
    return Le16(tag) + Le16(channels) + Le32(rate) + Le32(rate * blockAlign) + Le16(blockAlign) +
           Le16(bits);
}

// WAVE_FORMAT_EXTENSIBLE around a sub-format whose first two bytes are subTag.
inline QByteArray ExtensibleFormatBody(quint16 channels, quint32 rate, quint16 subTag) {
    return FormatBody(0xFFFE, channels, rate, 16) + Le16(22) + Le16(16) + Le32(0x4) + Le16(subTag) +
           QByteArray::fromHex("000000001000800000aa00389b71");
}

inline QByteArray Riff(const QByteArray& chunks) {
    return "RIFF" + Le32(static_cast<quint32>(4 + chunks.size())) + "WAVE" + chunks;
}
