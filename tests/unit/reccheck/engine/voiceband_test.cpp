#include "reccheck/engine/voiceband.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <numeric>
#include <ostream>
#include <random>

namespace {

constexpr int Rate = 16000;
constexpr double Pi = 3.14159265358979323846;
constexpr double Seconds = 4.0;

using Signal = std::vector<double>;

Signal Tone(double hz, double amplitude) {
    Signal signal(static_cast<size_t>(Seconds * Rate));
    for (size_t i = 0; i < signal.size(); ++i)
        signal[i] = amplitude * std::sin(2 * Pi * hz * i / Rate);
    return signal;
}

// Mains hum as a cheap microphone picks it up: the mains frequency and its first harmonics.
Signal Hum(double mainsHz, double amplitude) {
    Signal signal(static_cast<size_t>(Seconds * Rate));
    const double weights[] = {1.0, 0.6, 0.4, 0.25, 0.15};
    for (size_t k = 0; k < std::size(weights); ++k) {
        const Signal harmonic = Tone(mainsHz * (k + 1), amplitude * weights[k]);
        for (size_t i = 0; i < signal.size(); ++i)
            signal[i] += harmonic[i];
    }
    return signal;
}

// Low rumble: a random walk that leaks back to zero (brown noise).
Signal Rumble(double amplitude) {
    std::mt19937 generator(3);
    std::normal_distribution<double> step(0.0, 1.0);
    Signal signal(static_cast<size_t>(Seconds * Rate));
    double level = 0.0;
    for (double& x : signal) {
        level = 0.999 * level + step(generator);
        x = level;
    }
    const double peak =
        std::abs(*std::max_element(signal.begin(), signal.end(),
                                   [](double a, double b) { return std::abs(a) < std::abs(b); }));
    for (double& x : signal)
        x *= amplitude / peak;
    return signal;
}

Signal Sum(Signal a, const Signal& b) {
    for (size_t i = 0; i < a.size(); ++i)
        a[i] += b[i];
    return a;
}

Signal Offset(Signal signal, double offset) {
    for (double& x : signal)
        x += offset;
    return signal;
}

std::vector<qint16> Samples(const Signal& signal) {
    std::vector<qint16> samples(signal.size());
    for (size_t i = 0; i < signal.size(); ++i)
        samples[i] = static_cast<qint16>(std::lround(signal[i]));
    return samples;
}

// The RMS level in dB of the samples after the first half second, where a filter has settled.
double LevelDb(const std::vector<qint16>& samples) {
    const size_t skip = Rate / 2;
    double sum = 0.0;
    for (size_t i = skip; i < samples.size(); ++i)
        sum += static_cast<double>(samples[i]) * samples[i];
    return 10 * std::log10(sum / (samples.size() - skip) + 1e-9);
}

struct BandCase {
    const char* name;
    std::function<Signal()> input;
    // What the voice band should keep of the input: the same signal, or what it should hold.
    std::function<Signal()> kept;
};

void PrintTo(const BandCase& c, std::ostream* os) {
    *os << c.name;
}

class VoiceBandTest : public testing::TestWithParam<BandCase> {};

// The voice band's level equals that of what should be kept, within half a decibel.
TEST_P(VoiceBandTest, KeepsTheVoiceBandAndRemovesWhatLiesUnderIt) {
    const std::vector<qint16> band = VoiceBand(Samples(GetParam().input()), Rate);
    EXPECT_NEAR(LevelDb(band), LevelDb(Samples(GetParam().kept())), 0.5);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VoiceBandTest,
    testing::Values(BandCase{"tone_in_the_voice_band", [] { return Tone(440, 3000); },
                             [] { return Tone(440, 3000); }},
                    BandCase{"high_tone", [] { return Tone(3000, 3000); },
                             [] { return Tone(3000, 3000); }},
                    BandCase{"dc_offset", [] { return Offset(Tone(440, 3000), 8000); },
                             [] { return Tone(440, 3000); }},
                    BandCase{"hum_50_hz_over_a_quieter_tone",
                             [] { return Sum(Hum(50, 6000), Tone(440, 1000)); },
                             [] { return Tone(440, 1000); }},
                    BandCase{"hum_60_hz_over_a_quieter_tone",
                             [] { return Sum(Hum(60, 6000), Tone(1234, 1000)); },
                             [] { return Tone(1234, 1000); }}),
    [](const testing::TestParamInfo<BandCase>& info) { return info.param.name; });

// Rumble's power lies far below the voice band; what is left of it is its thin tail.
TEST(VoiceBandTest, RumbleLosesMostOfItsPower) {
    const std::vector<qint16> rumble = Samples(Rumble(8000));
    EXPECT_LT(LevelDb(VoiceBand(rumble, Rate)), LevelDb(rumble) - 12);
}

TEST(VoiceBandTest, HumAloneIsGone) {
    for (const double mainsHz : {50.0, 60.0}) {
        const std::vector<qint16> hum = Samples(Hum(mainsHz, 6000));
        EXPECT_LT(LevelDb(VoiceBand(hum, Rate)), LevelDb(hum) - 30) << mainsHz;
    }
}

TEST(MainsHumTest, FindsTheMainsFrequencysHarmonicsAndNothingElse) {
    const struct {
        const char* name;
        Signal signal;
        std::vector<double> harmonics;
    } table[] = {
        {"hum 50 Hz", Hum(50, 6000), {50, 100, 150, 200, 250}},
        {"hum 60 Hz", Hum(60, 6000), {60, 120, 180, 240, 300}},
        {"tone", Tone(440, 6000), {}},
        {"faint hum", Hum(50, 0.5), {}},
        {"rumble", Rumble(6000), {}},
        {"nothing", Signal(Rate * 4), {}},
        {"too short to tell", Signal(Rate / 4, 1000.0), {}},
    };
    for (const auto& row : table)
        EXPECT_EQ(MainsHumHarmonics(row.signal, Rate), row.harmonics) << row.name;
}

} // namespace
