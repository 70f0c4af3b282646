#pragma once

#include "reccheck/soundout/playablewav.h"
#include "reccheck/soundout/pulsestream.h"

#include <QByteArray>
#include <QString>
#include <functional>

// Plays a sound to an output of the sound server on a connection of its own.
class PulsePlayer {
public:
    enum class End { Heard, Lost };
    using EndHandler = std::function<void(End)>;

    // Starts the sound on output (the server's default when empty). onEnd is called once, on
    // this thread, when the sound has been heard or when the server or the output went away;
    // never after Stop. False, with the reason in error, when the output cannot be opened.
    bool Start(const PlayableWav& sound, const QByteArray& output, EndHandler onEnd,
               QString* error);
    void Stop() { stream_.Close(); }

private:
    PulseStream stream_;
    QByteArray samples_;
};
