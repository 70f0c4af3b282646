#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <functional>
#include <optional>

// The structure of a RIFF WAVE file, shared by the reader that plays a file and the reader
// that judges a recording: each keeps its own rules on formats and on files cut short.

// One chunk after the file's header.
struct RiffChunk {
    QByteArray id;
    // The size its header declares, and how many of those bytes the file really holds.
    qint64 declaredSize = 0;
    qint64 available = 0;
    const char* body = nullptr;
};

// The fields of a "fmt " chunk, with the real tag of WAVE_FORMAT_EXTENSIBLE.
struct WaveFormatFields {
    quint16 tag = 0;
    quint16 channels = 0;
    quint32 sampleRate = 0;
    quint16 blockAlign = 0;
    quint16 bitsPerSample = 0;
};

// Whether the bytes begin with a RIFF header of form "WAVE".
bool IsRiffWave(const QByteArray& bytes);

// Calls visit with each chunk whose header is whole, in file order, until visit returns false.
void WalkRiffChunks(const QByteArray& bytes, const std::function<bool(const RiffChunk&)>& visit);

// The fields of a format chunk of size bytes; nothing when it is too short to hold them.
std::optional<WaveFormatFields> ReadWaveFormat(const char* body, qint64 size);
