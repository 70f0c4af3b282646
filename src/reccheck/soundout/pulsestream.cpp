#include "reccheck/soundout/pulsestream.h"

#include <algorithm>

namespace {

// Every change of the connection or the stream, and room or data in the stream, wakes the
// thread waiting in a blocking call.
void Wake(pa_threaded_mainloop* loop) {
    pa_threaded_mainloop_signal(loop, 0);
}

void OnContextState(pa_context*, void* loop) {
    Wake(static_cast<pa_threaded_mainloop*>(loop));
}

void OnStreamState(pa_stream*, void* loop) {
    Wake(static_cast<pa_threaded_mainloop*>(loop));
}

void OnStreamRequest(pa_stream*, size_t, void* loop) {
    Wake(static_cast<pa_threaded_mainloop*>(loop));
}

void OnLatencyUpdate(pa_stream*, void* loop) {
    Wake(static_cast<pa_threaded_mainloop*>(loop));
}

QString Reason(pa_context* context) {
    return QString::fromUtf8(pa_strerror(context ? pa_context_errno(context) : PA_ERR_INTERNAL));
}

} // namespace

PulseStream::PulseStream() = default;

PulseStream::~PulseStream() {
    Close();
}

bool PulseStream::Open(pa_stream_direction_t direction, const pa_sample_spec& spec,
                       const QByteArray& device, const pa_buffer_attr& buffer, QString* error) {
    Close();
    stop_ = false;
    loop_ = pa_threaded_mainloop_new();
    if (!loop_ || pa_threaded_mainloop_start(loop_) < 0) {
        *error = Reason(nullptr);
        Close();
        return false;
    }
    pa_threaded_mainloop_lock(loop_);
    context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "parvelo microphone check");
    bool ready = false;
    if (context_) {
        pa_context_set_state_callback(context_, OnContextState, loop_);
        if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
            pa_context_state_t state;
            while ((state = pa_context_get_state(context_)) != PA_CONTEXT_READY &&
                   PA_CONTEXT_IS_GOOD(state))
                pa_threaded_mainloop_wait(loop_);
            ready = state == PA_CONTEXT_READY;
        }
    }
    if (ready) {
        stream_ = pa_stream_new(context_, "microphone check", &spec, nullptr);
        ready = stream_ != nullptr;
    }
    if (ready) {
        pa_stream_set_state_callback(stream_, OnStreamState, loop_);
        pa_stream_set_write_callback(stream_, OnStreamRequest, loop_);
        pa_stream_set_read_callback(stream_, OnStreamRequest, loop_);
        pa_stream_set_latency_update_callback(stream_, OnLatencyUpdate, loop_);
        // Staying on the device is what lets a pulled plug end the stream.
        const auto flags =
            pa_stream_flags_t(PA_STREAM_DONT_MOVE | PA_STREAM_ADJUST_LATENCY |
                              PA_STREAM_AUTO_TIMING_UPDATE | PA_STREAM_INTERPOLATE_TIMING);
        const char* name = device.isEmpty() ? nullptr : device.constData();
        const int connected =
            direction == PA_STREAM_PLAYBACK
                ? pa_stream_connect_playback(stream_, name, &buffer, flags, nullptr, nullptr)
                : pa_stream_connect_record(stream_, name, &buffer, flags);
        pa_stream_state_t state = PA_STREAM_FAILED;
        if (connected >= 0) {
            while ((state = pa_stream_get_state(stream_)) != PA_STREAM_READY &&
                   PA_STREAM_IS_GOOD(state))
                pa_threaded_mainloop_wait(loop_);
        }
        ready = state == PA_STREAM_READY;
    }
    if (!ready)
        *error = Reason(context_);
    pa_threaded_mainloop_unlock(loop_);
    if (!ready)
        Close();
    return ready;
}

void PulseStream::Run(std::function<void()> work) {
    thread_ = std::thread(std::move(work));
}

void PulseStream::Close() {
    ++generation_;
    stop_ = true;
    if (loop_) {
        pa_threaded_mainloop_lock(loop_);
        Wake(loop_);
        pa_threaded_mainloop_unlock(loop_);
    }
    if (thread_.joinable())
        thread_.join();
    if (loop_)
        pa_threaded_mainloop_stop(loop_);
    if (stream_) {
        pa_stream_disconnect(stream_);
        pa_stream_unref(stream_);
        stream_ = nullptr;
    }
    if (context_) {
        pa_context_disconnect(context_);
        pa_context_unref(context_);
        context_ = nullptr;
    }
    if (loop_) {
        pa_threaded_mainloop_free(loop_);
        loop_ = nullptr;
    }
}

bool PulseStream::Alive() const {
    return !stop_ && PA_CONTEXT_IS_GOOD(pa_context_get_state(context_)) &&
           PA_STREAM_IS_GOOD(pa_stream_get_state(stream_));
}

bool PulseStream::Write(const char* data, size_t bytes) {
    pa_threaded_mainloop_lock(loop_);
    bool alive = true;
    while (bytes > 0 && (alive = Alive())) {
        const size_t room = pa_stream_writable_size(stream_);
        if (room == 0 || room == size_t(-1)) {
            pa_threaded_mainloop_wait(loop_);
            continue;
        }
        const size_t part = std::min(room, bytes);
        if (pa_stream_write(stream_, data, part, nullptr, 0, PA_SEEK_RELATIVE) < 0) {
            alive = false;
            break;
        }
        data += part;
        bytes -= part;
    }
    pa_threaded_mainloop_unlock(loop_);
    return alive;
}

bool PulseStream::Read(QByteArray* into) {
    pa_threaded_mainloop_lock(loop_);
    bool alive = true;
    while ((alive = Alive())) {
        const void* data = nullptr;
        size_t bytes = 0;
        if (pa_stream_peek(stream_, &data, &bytes) < 0) {
            alive = false;
            break;
        }
        if (bytes == 0) {
            pa_threaded_mainloop_wait(loop_);
            continue;
        }
        // A hole in the recording is silence.
        if (data)
            into->append(static_cast<const char*>(data), qsizetype(bytes));
        else
            into->append(qsizetype(bytes), '\0');
        pa_stream_drop(stream_);
        break;
    }
    pa_threaded_mainloop_unlock(loop_);
    return alive;
}

std::optional<pa_usec_t> PulseStream::Latency() {
    pa_threaded_mainloop_lock(loop_);
    std::optional<pa_usec_t> latency;
    while (Alive()) {
        pa_usec_t usec = 0;
        int negative = 0;
        if (pa_stream_get_latency(stream_, &usec, &negative) >= 0) {
            latency = negative ? 0 : usec;
            break;
        }
        if (pa_context_errno(context_) != PA_ERR_NODATA)
            break;
        pa_threaded_mainloop_wait(loop_);
    }
    pa_threaded_mainloop_unlock(loop_);
    return latency;
}

void PulseStream::Post(std::function<void()> call) {
    const quint64 generation = generation_;
    QMetaObject::invokeMethod(
        &receiver_,
        [this, generation, call = std::move(call)] {
            if (generation == generation_)
                call();
        },
        Qt::QueuedConnection);
}
