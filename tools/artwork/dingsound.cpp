#include "reccheckart.h"
#include "wavwriter.h"

#include <QFile>
#include <QTextStream>

#include <cmath>
#include <cstdlib>

namespace {

// The signal that recording begins: a bell-like pair of sines an octave apart, struck softly
// and dying away within 0.4 s so it is over before the student starts to speak.
constexpr int SampleRate = 22050;
constexpr double Duration = 0.4;
constexpr double Pi = 3.14159265358979323846;

struct Partial {
    double frequency, amplitude, decaySeconds;
};
constexpr Partial Partials[] = {{1318.5, 0.50, 0.085}, {2637.0, 0.20, 0.045}};

std::vector<std::int16_t> DingSamples() {
    const int count = static_cast<int>(Duration * SampleRate);
    // A short rise and a short fall keep both ends free of clicks.
    const int rise = SampleRate * 4 / 1000;
    const int fall = SampleRate * 30 / 1000;
    std::vector<std::int16_t> samples(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / SampleRate;
        double value = 0;
        for (const Partial& partial : Partials)
            value += partial.amplitude * std::exp(-t / partial.decaySeconds) *
                     std::sin(2 * Pi * partial.frequency * t);
        if (i < rise)
            value *= static_cast<double>(i) / rise;
        const int left = count - 1 - i;
        if (left < fall)
            value *= 0.5 - 0.5 * std::cos(Pi * left / fall);
        samples[static_cast<std::size_t>(i)] =
            static_cast<std::int16_t>(std::lround(value * 32767));
    }
    return samples;
}

} // namespace

void WriteDingSound(const QString& resources) {
    const QString path = resources + QStringLiteral("/install/engine/bin/ding.wav");
    if (!WriteWav(QFile::encodeName(path).toStdString(), DingSamples(), SampleRate)) {
        QTextStream(stderr) << "cannot write " << path << '\n';
        std::exit(1);
    }
}
