#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

// RIFF WAV files of 16-bit PCM, the only format the recording check records and checks.

// A decoded 16-bit PCM WAV file.
struct WavData {
    int sampleRate = 0;
    int channels = 0;
    // Little-endian interleaved 16-bit samples, exactly as stored in the "data" chunk.
    QByteArray pcm16;
};

// Writes mono 16-bit PCM samples as a RIFF WAV file whose header carries the real data length.
// Returns false and fills error (when given) if the file cannot be written.
bool WriteWav(const QString& path, int sampleRate, const QByteArray& pcm16mono, QString* error);

// Reads a RIFF WAV file of 16-bit PCM. Anything else (missing, empty, truncated, not RIFF WAV,
// compressed, another sample size) yields nullopt and a reason in error (when given).
std::optional<WavData> ReadWav(const QString& path, QString* error);

// The samples of little-endian 16-bit PCM bytes, in order; a trailing odd byte is dropped.
std::vector<qint16> Pcm16Samples(const QByteArray& pcm16);
