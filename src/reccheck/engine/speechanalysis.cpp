#include "speechanalysis.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

// The voice-activity detector of the WebRTC audio processing library, which installs no header
// for it.
extern "C" {
struct WebRtcVadInst;
WebRtcVadInst* WebRtcVad_Create();
void WebRtcVad_Free(WebRtcVadInst* handle);
int WebRtcVad_Init(WebRtcVadInst* handle);
int WebRtcVad_set_mode(WebRtcVadInst* handle, int mode);
int WebRtcVad_Process(WebRtcVadInst* handle, int sampleRate, const int16_t* frame,
                      size_t frameLength);
}

namespace {

// Mode 2 ("aggressive") keeps steady noise out of the voiced time without losing quiet syllables.
constexpr int VadMode = 2;
constexpr double FullScale = 32768.0;
constexpr double NoisePercentile = 0.10;
constexpr double VoiceAboveNoiseDb = 9.0;
// The detector hears nothing below a fixed energy, so it is given the recording raised to this
// peak: whether there is a voice must not depend on the level, which is judged on its own.
constexpr double DetectorPeakDb = -6.0;
constexpr double MaxDetectorGainDb = 60.0;

double PowerToDb(double meanSquare) {
    if (meanSquare <= 0.0)
        return SilenceDb;
    return std::max(SilenceDb, 10.0 * std::log10(meanSquare / (FullScale * FullScale)));
}

struct VadDeleter {
    void operator()(WebRtcVadInst* vad) const { WebRtcVad_Free(vad); }
};
using VadHandle = std::unique_ptr<WebRtcVadInst, VadDeleter>;

VadHandle MakeVad() {
    VadHandle vad(WebRtcVad_Create());
    if (vad && (WebRtcVad_Init(vad.get()) != 0 || WebRtcVad_set_mode(vad.get(), VadMode) != 0))
        vad.reset();
    return vad;
}

} // namespace

SignalFigures AnalyseSignal(const std::vector<qint16>& samples,
                            const std::vector<qint16>& voiceBand, int sampleRate) {
    SignalFigures figures;
    if (samples.empty() || sampleRate <= 0 || voiceBand.size() != samples.size())
        return figures;

    int peak = 0;
    size_t clipped = 0;
    for (const qint16 sample : samples) {
        const int magnitude = std::abs(static_cast<int>(sample));
        peak = std::max(peak, magnitude);
        if (sample == INT16_MAX || sample == INT16_MIN)
            ++clipped;
    }
    figures.peakDb =
        peak == 0 ? SilenceDb : std::max(SilenceDb, 20.0 * std::log10(peak / FullScale));
    figures.clippedPercent = 100.0 * static_cast<double>(clipped) / samples.size();

    const size_t frameLength = static_cast<size_t>(sampleRate) * AnalysisFrameMs / 1000;
    const size_t frameCount = samples.size() / frameLength;
    if (frameCount == 0)
        return figures;

    std::vector<double> framePowers(frameCount);
    int voiceBandPeak = 0;
    for (const qint16 sample : voiceBand)
        voiceBandPeak = std::max(voiceBandPeak, std::abs(static_cast<int>(sample)));
    for (size_t frame = 0; frame < frameCount; ++frame) {
        const qint16* const begin = voiceBand.data() + frame * frameLength;
        double sumOfSquares = 0.0;
        for (size_t i = 0; i < frameLength; ++i)
            sumOfSquares += static_cast<double>(begin[i]) * begin[i];
        framePowers[frame] = sumOfSquares / frameLength;
    }
    std::vector<double> sortedPowers = framePowers;
    const auto noiseFrame =
        sortedPowers.begin() + static_cast<std::ptrdiff_t>(frameCount * NoisePercentile);
    std::nth_element(sortedPowers.begin(), noiseFrame, sortedPowers.end());
    figures.noiseDb = PowerToDb(*noiseFrame);

    // The detector also takes loud steady noise for voice; a voice stands out of the noise.
    const double voiceThreshold = *noiseFrame * std::pow(10.0, VoiceAboveNoiseDb / 10.0);
    const double voiceBandPeakDb =
        voiceBandPeak == 0 ? SilenceDb : 20.0 * std::log10(voiceBandPeak / FullScale);
    const double detectorGain =
        std::pow(10.0, std::min(DetectorPeakDb - voiceBandPeakDb, MaxDetectorGainDb) / 20.0);
    std::vector<int16_t> detectorFrame(frameLength);
    VadHandle vad = MakeVad();
    double voicedPower = 0.0;
    size_t voicedFrames = 0;
    for (size_t frame = 0; frame < frameCount; ++frame) {
        const qint16* const begin = voiceBand.data() + frame * frameLength;
        std::transform(begin, begin + frameLength, detectorFrame.begin(), [&](qint16 sample) {
            return static_cast<int16_t>(
                std::clamp(std::lround(sample * detectorGain), long{INT16_MIN}, long{INT16_MAX}));
        });
        const bool detected =
            vad && WebRtcVad_Process(vad.get(), sampleRate, detectorFrame.data(), frameLength) == 1;
        if (!detected || framePowers[frame] < voiceThreshold)
            continue;
        voicedPower += framePowers[frame];
        ++voicedFrames;
        if (figures.voicedEnd == 0)
            figures.voicedBegin = frame * frameLength;
        figures.voicedEnd = (frame + 1) * frameLength;
    }
    if (voicedFrames > 0)
        figures.speechDb = PowerToDb(voicedPower / voicedFrames);
    figures.voicedSeconds = voicedFrames * AnalysisFrameMs / 1000.0;
    return figures;
}
