#pragma once

#include "reccheck/soundout/pulsestream.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <mutex>

// Records 16-bit mono samples from an input of the sound server on a connection of its own.
class PulseRecorder {
public:
    using Handler = std::function<void()>;

    // Starts recording from input at rate samples a second. onData is called on this thread
    // when new samples are there for Take; onLost once when the server or the input went away.
    // Neither is called after Stop. False, with the reason in error, when the input cannot be
    // opened.
    bool Start(const QByteArray& input, int rate, Handler onData, Handler onLost, QString* error);
    // The samples recorded since the last call; after Stop, the last of them.
    QByteArray Take();
    void Stop() { stream_.Close(); }

private:
    PulseStream stream_;
    std::mutex recordedLock_;
    QByteArray recorded_;
};
