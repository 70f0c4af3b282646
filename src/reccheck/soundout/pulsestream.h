#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <optional>
#include <pulse/pulseaudio.h>
#include <thread>

// One stream to or from the sound server on a connection of its own, fed or drained by a
// thread of its own. A connection made for each stream finds a server started at any time after
// an earlier one stopped (the engine of Qt Multimedia looks for a new server only once). The
// stream stays on its device: when the server stops or the device goes away, the blocking calls
// fail instead of going on elsewhere.
class PulseStream {
public:
    PulseStream();
    ~PulseStream();
    PulseStream(const PulseStream&) = delete;
    PulseStream& operator=(const PulseStream&) = delete;

    // Connects and opens the stream on device. False, with the server's reason in error, when
    // there is no server or it refuses the stream.
    bool Open(pa_stream_direction_t direction, const pa_sample_spec& spec, const QByteArray& device,
              const pa_buffer_attr& buffer, QString* error);
    // Runs work on the stream's thread; work returns soon once Stopping() is true.
    void Run(std::function<void()> work);
    // Stops the thread, waits for it and closes the connection. Calls posted before and not
    // yet made are dropped.
    void Close();

    // For the work: blocking calls that answer false once the server, the device or the
    // stream is gone, or the stream is being closed.
    bool Stopping() const { return stop_; }
    bool Write(const char* data, size_t bytes);
    // Appends what the server has recorded, waiting for it when there is nothing yet.
    bool Read(QByteArray* into);
    // How long until the last sample written is heard; nothing when the stream is gone.
    std::optional<pa_usec_t> Latency();
    // Calls call on the thread that opened the stream, unless the stream is closed first.
    void Post(std::function<void()> call);

private:
    bool Alive() const;

    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    // Counts the streams opened: a posted call of an earlier one is dropped.
    std::atomic<quint64> generation_{0};
    // Posted calls are made through it, and dropped with it.
    QObject receiver_;
};
