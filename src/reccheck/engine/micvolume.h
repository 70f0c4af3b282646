#pragma once

#include <QString>
#include <QtGlobal>

// The level adjustment of the microphone check: moves the default sound source's volume so
// that the next recording's speech level lands in the target band.

// The speech level the adjustment aims at, in dBFS.
constexpr double TargetSpeechLowDb = -30.0;
constexpr double TargetSpeechHighDb = -12.0;

// Volumes in the sound server's units: NormalVolume is 100 %, the cube root of the power.
constexpr quint32 NormalVolume = 0x10000;
// Beyond 150 % the server only amplifies the noise floor along with the voice.
constexpr quint32 MaxSourceVolume = NormalVolume * 3 / 2;
// Below 20 % a later, louder voice would be lost; the adjustment never goes lower.
constexpr quint32 MinSourceVolume = NormalVolume / 5;
// How long the adjustment may wait for the server, connection included, in milliseconds.
constexpr int SoundServerTimeoutMs = 2000;

// Whether a recording with this speech level (and clipping or not) calls for a new volume.
bool NeedsVolumeChange(double speechDb, bool clipped);

// The volume that moves speech at speechDb to the middle of the band: at least 6 dB down when
// the recording clipped, since its true level is unknown. Bounded to MinSourceVolume ..
// MaxSourceVolume, and never a step the wrong way when current already lies beyond a bound.
quint32 AdjustedSourceVolume(quint32 current, double speechDb, bool clipped);

// Sets the default source's volume of the sound server PULSE_SERVER (or the user's) to
// AdjustedSourceVolume when NeedsVolumeChange. Returns what it did, for the log; when there is
// no server or it does not answer in time, it changes nothing and says so.
QString AdjustMicrophoneVolume(double speechDb, bool clipped);
