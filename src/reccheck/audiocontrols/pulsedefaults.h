#pragma once

#include <QByteArray>
#include <optional>

// The names of the sound server's default output (sink) and input (source).
struct PulseDefaults {
    QByteArray sink;
    QByteArray source;
};

// Asks the PulseAudio server the client would connect to (PULSE_SERVER and the usual places)
// for its defaults. Nothing when there is no server or it does not answer within two seconds;
// a server is never started for the question.
std::optional<PulseDefaults> QueryPulseDefaults();
