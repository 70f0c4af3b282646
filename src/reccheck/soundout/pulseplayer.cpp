#include "reccheck/soundout/pulseplayer.h"

#include <algorithm>
#include <chrono>
#include <optional>

namespace {

// The sound goes to the server in parts this long, so a stop is never kept waiting.
constexpr pa_usec_t PartUsec = 50 * PA_USEC_PER_MSEC;
// The server holds this much ahead of what is heard, and starts once it has the first part:
// a sound shorter than the buffer still starts.
constexpr pa_usec_t BufferUsec = 250 * PA_USEC_PER_MSEC;
constexpr auto EndPoll = std::chrono::milliseconds(20);
// The server's clock may stop short of the last sample: the sound counts as heard this long
// after it was due.
constexpr auto EndGrace = std::chrono::seconds(2);

std::optional<pa_sample_format_t> SampleFormatOf(QAudioFormat::SampleFormat format) {
    switch (format) {
    case QAudioFormat::UInt8:
        return PA_SAMPLE_U8;
    case QAudioFormat::Int16:
        return PA_SAMPLE_S16LE;
    case QAudioFormat::Int32:
        return PA_SAMPLE_S32LE;
    case QAudioFormat::Float:
        return PA_SAMPLE_FLOAT32LE;
    default:
        return std::nullopt;
    }
}

} // namespace

bool PulsePlayer::Start(const PlayableWav& sound, const QByteArray& output, EndHandler onEnd,
                        QString* error) {
    Stop();
    const std::optional<pa_sample_format_t> format = SampleFormatOf(sound.format.sampleFormat());
    pa_sample_spec spec{};
    if (format) {
        spec.format = *format;
        spec.rate = uint32_t(sound.format.sampleRate());
        spec.channels = uint8_t(sound.format.channelCount());
    }
    if (!format || !pa_sample_spec_valid(&spec)) {
        *error = QStringLiteral("声音格式不受支持");
        return false;
    }
    pa_buffer_attr buffer;
    buffer.maxlength = uint32_t(-1);
    buffer.tlength = uint32_t(pa_usec_to_bytes(BufferUsec, &spec));
    buffer.prebuf = uint32_t(pa_usec_to_bytes(PartUsec, &spec));
    buffer.minreq = uint32_t(-1);
    buffer.fragsize = uint32_t(-1);
    if (!stream_.Open(PA_STREAM_PLAYBACK, spec, output, buffer, error))
        return false;
    samples_ = sound.samples;
    const size_t part = pa_usec_to_bytes(PartUsec, &spec);
    stream_.Run([this, part, onEnd = std::move(onEnd)] {
        const auto end = [this, &onEnd](End how) { stream_.Post([onEnd, how] { onEnd(how); }); };
        for (qsizetype at = 0; at < samples_.size(); at += qsizetype(part)) {
            const size_t bytes = std::min(part, size_t(samples_.size() - at));
            if (!stream_.Write(samples_.constData() + at, bytes)) {
                if (!stream_.Stopping())
                    end(End::Lost);
                return;
            }
        }
        // Heard once the server has played the last sample written.
        std::optional<std::chrono::steady_clock::time_point> due;
        for (;;) {
            const std::optional<pa_usec_t> latency = stream_.Latency();
            if (stream_.Stopping())
                return;
            if (!latency) {
                end(End::Lost);
                return;
            }
            const auto now = std::chrono::steady_clock::now();
            if (!due)
                due = now + std::chrono::microseconds(*latency) + EndGrace;
            if (*latency == 0 || now > *due)
                break;
            std::this_thread::sleep_for(
                std::min<std::chrono::microseconds>(EndPoll, std::chrono::microseconds(*latency)));
        }
        end(End::Heard);
    });
    return true;
}
