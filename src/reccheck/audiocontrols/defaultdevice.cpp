#include "reccheck/audiocontrols/defaultdevice.h"

#include "system/pulsedefaults.h"

#include <optional>

QByteArray DefaultAudioInput() {
    const std::optional<PulseDefaults> defaults = QueryPulseDefaults();
    return defaults ? defaults->source : QByteArray();
}

QByteArray DefaultAudioOutput() {
    const std::optional<PulseDefaults> defaults = QueryPulseDefaults();
    return defaults ? defaults->sink : QByteArray();
}
