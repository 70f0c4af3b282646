#include "reccheck/audiocontrols/pulserecorder.h"

namespace {

// The server hands the recording over in parts this long: the level meter moves in such steps.
constexpr pa_usec_t ChunkUsec = 100 * PA_USEC_PER_MSEC;

} // namespace

bool PulseRecorder::Start(const QByteArray& input, int rate, Handler onData, Handler onLost,
                          QString* error) {
    Stop();
    Take();
    pa_sample_spec spec{};
    spec.format = PA_SAMPLE_S16LE;
    spec.rate = uint32_t(rate);
    spec.channels = 1;
    pa_buffer_attr buffer;
    buffer.maxlength = uint32_t(-1);
    buffer.tlength = uint32_t(-1);
    buffer.prebuf = uint32_t(-1);
    buffer.minreq = uint32_t(-1);
    buffer.fragsize = uint32_t(pa_usec_to_bytes(ChunkUsec, &spec));
    if (!stream_.Open(PA_STREAM_RECORD, spec, input, buffer, error))
        return false;
    stream_.Run([this, onData = std::move(onData), onLost = std::move(onLost)] {
        QByteArray chunk;
        while (stream_.Read(&chunk)) {
            {
                const std::lock_guard<std::mutex> hold(recordedLock_);
                recorded_ += chunk;
            }
            chunk.clear();
            stream_.Post(onData);
        }
        if (!stream_.Stopping())
            stream_.Post(onLost);
    });
    return true;
}

QByteArray PulseRecorder::Take() {
    const std::lock_guard<std::mutex> hold(recordedLock_);
    QByteArray taken;
    taken.swap(recorded_);
    return taken;
}
