#pragma once

#include <QtGlobal>
#include <vector>

// The part of a recording that a voice can be heard in. Cheap microphones and rooms add sounds
// below the voice band (a DC offset, desk and fan rumble, mains hum at 50 or 60 Hz) and hum's
// harmonics inside it, loud enough to hide a clear voice from level measurements that take the
// whole signal.

// The high-pass's corner: below the lowest voices' fundamentals, above mains hum's.
constexpr double VoiceBandLowHz = 90.0;

// The samples without their mean, high-passed at VoiceBandLowHz (fourth-order Butterworth) and,
// when the quiet part of the recording holds a steady comb of 50 Hz or 60 Hz harmonics, with
// those harmonics notched out.
std::vector<qint16> VoiceBand(const std::vector<qint16>& samples, int sampleRate);

// The mains harmonics (in Hz) that VoiceBand notches out of these high-passed samples; empty
// when there is no hum.
std::vector<double> MainsHumHarmonics(const std::vector<double>& highPassed, int sampleRate);
