#include "reccheck/audiocontrols/defaultdevice.h"

#include "reccheck/audiocontrols/pulsedefaults.h"

#include <QMediaDevices>

namespace {

// Null when Qt does not list the server's default: a monitor of a loudspeaker, which the server
// makes the default source once the last microphone is gone and Qt does not offer, or no device
// at all. Qt's own choice is no answer then: Qt 6.8 keeps removed devices in its lists, and a
// recorder opened on one never starts.
QAudioDevice DeviceNamed(const QList<QAudioDevice>& devices, const QByteArray& name) {
    for (const QAudioDevice& device : devices) {
        if (device.id() == name)
            return device;
    }
    return {};
}

} // namespace

QAudioDevice DefaultAudioInput() {
    const std::optional<PulseDefaults> defaults = QueryPulseDefaults();
    if (!defaults)
        return QMediaDevices::defaultAudioInput();
    return DeviceNamed(QMediaDevices::audioInputs(), defaults->source);
}

QAudioDevice DefaultAudioOutput() {
    const std::optional<PulseDefaults> defaults = QueryPulseDefaults();
    if (!defaults)
        return QMediaDevices::defaultAudioOutput();
    return DeviceNamed(QMediaDevices::audioOutputs(), defaults->sink);
}
