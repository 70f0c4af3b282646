#pragma once

#include <QString>
#include <QStringList>

// Test sounds made and measured with sox and espeak-ng, independently of the code under test.
// Every function throws std::runtime_error when a tool fails.

// A sine tone of the given length; format holds sox's output options, e.g. {"-r", "16000"}.
void MakeTone(const QString& path, const QStringList& format, double seconds);
// The check's sentence spoken by espeak-ng, as 16 000 Hz 16-bit mono.
void MakeSpeech(const QString& path);
// The length in seconds of a sound file.
double SoundSeconds(const QString& path);

struct SoundFormat {
    int sampleRate = 0;
    int bitsPerSample = 0;
    int channels = 0;
};
SoundFormat SoundFileFormat(const QString& path);

// The loudest sample in dB relative to full scale; minus infinity for digital silence.
double SoundPeakDbfs(const QString& path);

// Runs a program to its end and answers its standard output and error.
QString RunTool(const QString& program, const QStringList& arguments);
