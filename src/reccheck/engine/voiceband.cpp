#include "voiceband.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>

namespace {

constexpr double Pi = 3.14159265358979323846;
// The two sections of a fourth-order Butterworth high-pass.
constexpr double ButterworthQ[] = {0.54119610, 1.30656296};

constexpr double MainsHz[] = {50.0, 60.0};
// Hum's harmonics that matter lie below this; a voice's strength is above.
constexpr double HighestHumHz = 1000.0;
// Hum is judged on blocks of this length, long enough to resolve the harmonics (2 Hz) and short
// enough that a slightly wrong mains frequency still falls into its harmonic's bin.
constexpr double HumBlockSeconds = 0.5;
// A harmonic is hum when, in the typical block, it stands this far above the spectrum halfway to
// its neighbours: a voice's harmonics move with its pitch, hum's stay.
constexpr double HumAboveSpectrumDb = 10.0;
// Hum fainter than this (in 16-bit steps of amplitude) hides nothing.
constexpr double FaintestHum = 2.0;
// Wide enough for the mains frequency's drift times the harmonic's number, narrow enough to take
// nothing a listener would miss from the voice.
constexpr double NotchWidthHz = 4.0;

// A second-order section, transposed direct form II.
class Biquad {
public:
    Biquad(double b0, double b1, double b2, double a0, double a1, double a2)
        : b0_(b0 / a0), b1_(b1 / a0), b2_(b2 / a0), a1_(a1 / a0), a2_(a2 / a0) {}

    double Process(double x) {
        const double y = b0_ * x + z1_;
        z1_ = b1_ * x - a1_ * y + z2_;
        z2_ = b2_ * x - a2_ * y;
        return y;
    }

private:
    double b0_, b1_, b2_, a1_, a2_;
    double z1_ = 0.0, z2_ = 0.0;
};

Biquad HighPass(double cornerHz, double q, int sampleRate) {
    const double w = 2 * Pi * cornerHz / sampleRate;
    const double alpha = std::sin(w) / (2 * q);
    const double c = std::cos(w);
    return Biquad((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

Biquad Notch(double centreHz, double widthHz, int sampleRate) {
    const double w = 2 * Pi * centreHz / sampleRate;
    const double alpha = std::sin(w) * widthHz / (2 * centreHz);
    const double c = std::cos(w);
    return Biquad(1, -2 * c, 1, 1 + alpha, -2 * c, 1 - alpha);
}

void Filter(std::vector<double>& signal, Biquad section) {
    for (double& x : signal)
        x = section.Process(x);
}

// The power of one frequency in a block (Goertzel).
double PowerAt(const double* block, size_t length, double hz, int sampleRate) {
    const double coefficient = 2 * std::cos(2 * Pi * hz / sampleRate);
    double previous = 0.0, beforePrevious = 0.0;
    for (size_t i = 0; i < length; ++i) {
        const double current = block[i] + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    return previous * previous + beforePrevious * beforePrevious -
           coefficient * previous * beforePrevious;
}

// The signal cut into blocks, each under a Hann window, so that a strong tone does not leak into
// the bins of frequencies near it.
std::vector<double> WindowedBlocks(const std::vector<double>& signal, size_t blockLength) {
    std::vector<double> window(blockLength);
    for (size_t i = 0; i < blockLength; ++i)
        window[i] = 0.5 - 0.5 * std::cos(2 * Pi * i / blockLength);
    std::vector<double> blocks(signal.size() / blockLength * blockLength);
    for (size_t i = 0; i < blocks.size(); ++i)
        blocks[i] = signal[i] * window[i % blockLength];
    return blocks;
}

// The power of a frequency in the typical block: the median, so a voice in a few blocks does
// not count.
double TypicalPowerAt(const std::vector<double>& blocks, size_t blockLength, double hz,
                      int sampleRate) {
    std::vector<double> powers;
    for (size_t start = 0; start < blocks.size(); start += blockLength)
        powers.push_back(PowerAt(blocks.data() + start, blockLength, hz, sampleRate));
    const auto middle = powers.begin() + static_cast<std::ptrdiff_t>(powers.size() / 2);
    std::nth_element(powers.begin(), middle, powers.end());
    return *middle;
}

} // namespace

std::vector<double> MainsHumHarmonics(const std::vector<double>& highPassed, int sampleRate) {
    const size_t blockLength = static_cast<size_t>(HumBlockSeconds * sampleRate);
    if (highPassed.size() < blockLength)
        return {};
    const std::vector<double> blocks = WindowedBlocks(highPassed, blockLength);
    const double standsOut = std::pow(10.0, HumAboveSpectrumDb / 10.0);
    // A sine's power in a block under a Hann window is (amplitude × length / 4)².
    const double faintest = std::pow(FaintestHum * static_cast<double>(blockLength) / 4, 2);
    std::vector<double> strongest;
    double strongestPower = 0.0;
    for (const double mainsHz : MainsHz) {
        std::vector<double> harmonics;
        double power = 0.0;
        for (double hz = mainsHz; hz <= HighestHumHz; hz += mainsHz) {
            const double onHarmonic = TypicalPowerAt(blocks, blockLength, hz, sampleRate);
            const double between =
                TypicalPowerAt(blocks, blockLength, hz + mainsHz / 2, sampleRate);
            if (onHarmonic > std::max(standsOut * between, faintest)) {
                harmonics.push_back(hz);
                power += onHarmonic;
            }
        }
        if (power > strongestPower) {
            strongestPower = power;
            strongest = harmonics;
        }
    }
    return strongest;
}

std::vector<qint16> VoiceBand(const std::vector<qint16>& samples, int sampleRate) {
    if (samples.empty() || sampleRate <= 0)
        return {};
    const double mean =
        std::accumulate(samples.begin(), samples.end(), 0.0) / static_cast<double>(samples.size());
    std::vector<double> signal(samples.size());
    std::transform(samples.begin(), samples.end(), signal.begin(),
                   [mean](qint16 sample) { return sample - mean; });
    for (const double q : ButterworthQ)
        Filter(signal, HighPass(VoiceBandLowHz, q, sampleRate));
    for (const double hz : MainsHumHarmonics(signal, sampleRate))
        Filter(signal, Notch(hz, NotchWidthHz, sampleRate));

    std::vector<qint16> band(signal.size());
    std::transform(signal.begin(), signal.end(), band.begin(), [](double x) {
        return static_cast<qint16>(std::clamp(std::lround(x), long{INT16_MIN}, long{INT16_MAX}));
    });
    return band;
}
