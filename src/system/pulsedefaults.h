#pragma once

#include <QByteArray>
#include <optional>

// What the sound server offers the microphone check.
struct PulseDefaults {
    // The default output (sink); empty when the server has none.
    QByteArray sink;
    // The default input (source); empty when there is none or it is only the monitor of an
    // output, which the server makes the default once the last microphone is gone.
    QByteArray source;
    // How many outputs the server has.
    int sinks = 0;
};

// Asks the PulseAudio server the client would connect to (PULSE_SERVER and the usual places)
// on a connection of its own, so a server started at any time after an earlier one stopped is
// found. Nothing when there is no server or it does not answer within two seconds; a server is
// never started for the question.
std::optional<PulseDefaults> QueryPulseDefaults();
