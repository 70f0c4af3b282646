#pragma once

#include <QAudioFormat>
#include <QByteArray>
#include <QString>
#include <optional>

// A WAV file ready for an audio sink: its format and its whole frames of samples.
struct PlayableWav {
    QAudioFormat format;
    QByteArray samples;
};

// Reads a RIFF WAV file of uncompressed samples (8-, 16- or 32-bit integers or 32-bit floats,
// one or two channels, any rate). A data chunk cut short by the end of the file plays what is
// there. Anything else (missing, not WAV, compressed, no samples) yields nothing and a reason
// for the user in error.
std::optional<PlayableWav> ReadPlayableWav(const QString& path, QString* error);
