#include "reccheck/engine/speechanalysis.h"
#include "reccheck/engine/voiceband.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <random>

namespace {

constexpr int Rate = 16000;
constexpr double Pi = 3.14159265358979323846;

std::vector<qint16> Sine(double amplitude, double seconds) {
    std::vector<qint16> samples(static_cast<size_t>(seconds * Rate));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] =
            static_cast<qint16>(std::lround(amplitude * std::sin(2 * Pi * 440 * i / Rate)));
    return samples;
}

std::vector<qint16> WhiteNoise(double rms, double seconds) {
    std::mt19937 generator(1);
    std::normal_distribution<double> distribution(0.0, rms);
    std::vector<qint16> samples(static_cast<size_t>(seconds * Rate));
    for (qint16& sample : samples)
        sample =
            static_cast<qint16>(std::clamp(std::lround(distribution(generator)), -32768L, 32767L));
    return samples;
}

std::vector<qint16> Concatenated(std::vector<qint16> first, const std::vector<qint16>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// The level of a sine of this amplitude: its RMS is amplitude / sqrt(2).
double SineDb(double amplitude) {
    return 20 * std::log10(amplitude / 32768 / std::sqrt(2.0));
}

struct AnalysisCase {
    const char* name;
    std::function<std::vector<qint16>()> signal;
    double peakDb;
    double clippedPercent;
    // Not checked where the voice band itself is cut at full scale.
    std::optional<double> noiseDb;
};

void PrintTo(const AnalysisCase& c, std::ostream* os) {
    *os << c.name;
}

class SignalAnalysis : public testing::TestWithParam<AnalysisCase> {};

TEST_P(SignalAnalysis, MeasuresPeakClippingAndNoiseFloor) {
    const AnalysisCase& c = GetParam();
    const std::vector<qint16> samples = c.signal();
    const SignalFigures figures = AnalyseSignal(samples, VoiceBand(samples, Rate), Rate);
    EXPECT_NEAR(figures.peakDb, c.peakDb, 0.05);
    EXPECT_NEAR(figures.clippedPercent, c.clippedPercent, 1e-9);
    if (c.noiseDb) {
        EXPECT_NEAR(figures.noiseDb, *c.noiseDb, 0.2);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SignalAnalysis,
    testing::Values(
        AnalysisCase{"digital_silence", [] { return std::vector<qint16>(Rate); }, SilenceDb, 0,
                     SilenceDb},
        AnalysisCase{"no_samples", [] { return std::vector<qint16>(); }, SilenceDb, 0, SilenceDb},
        AnalysisCase{"half_scale_sine", [] { return Sine(16384, 1); }, -6.02, 0, SineDb(16384)},
        // The high-pass makes each edge overshoot full scale, so the voice band is cut.
        AnalysisCase{"full_scale_square",
                     [] {
                         std::vector<qint16> samples(Rate);
                         for (size_t i = 0; i < samples.size(); ++i)
                             samples[i] = i % 40 < 20 ? 32767 : -32768;
                         return samples;
                     },
                     0.0, 100, std::nullopt},
        AnalysisCase{"sixteen_clipped_samples_in_a_second",
                     [] {
                         std::vector<qint16> samples(Rate);
                         std::fill_n(samples.begin() + 1000, 16, qint16(32767));
                         return samples;
                     },
                     0.0, 0.1, SilenceDb},
        AnalysisCase{"floor_is_the_quiet_part",
                     [] { return Concatenated(Sine(100, 1.8), Sine(20000, 0.2)); },
                     20 * std::log10(20000.0 / 32768), 0, SineDb(100)}),
    [](const testing::TestParamInfo<AnalysisCase>& info) { return info.param.name; });

TEST(SignalAnalysisTest, SteadyNoiseIsNotVoice) {
    for (const double rms : {30.0, 300.0, 3000.0}) {
        const std::vector<qint16> noise = WhiteNoise(rms, 3);
        const SignalFigures figures = AnalyseSignal(noise, VoiceBand(noise, Rate), Rate);
        EXPECT_EQ(figures.voicedSeconds, 0.0) << rms;
        EXPECT_EQ(figures.speechDb, SilenceDb) << rms;
        EXPECT_NEAR(figures.noiseDb, 20 * std::log10(rms / 32768), 0.5) << rms;
    }
}

} // namespace
