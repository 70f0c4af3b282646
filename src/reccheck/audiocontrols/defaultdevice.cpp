#include "reccheck/audiocontrols/defaultdevice.h"

#include "reccheck/audiocontrols/pulsedefaults.h"

#include <QMediaDevices>

namespace {

QAudioDevice DeviceNamed(const QList<QAudioDevice>& devices, const QByteArray& name,
                         const QAudioDevice& fallback) {
    for (const QAudioDevice& device : devices) {
        if (device.id() == name)
            return device;
    }
    return fallback;
}

} // namespace

QAudioDevice DefaultAudioInput() {
    const QAudioDevice qtChoice = QMediaDevices::defaultAudioInput();
    const std::optional<PulseDefaults> defaults = QueryPulseDefaults();
    if (!defaults)
        return qtChoice;
    return DeviceNamed(QMediaDevices::audioInputs(), defaults->source, qtChoice);
}

QAudioDevice DefaultAudioOutput() {
    const QAudioDevice qtChoice = QMediaDevices::defaultAudioOutput();
    const std::optional<PulseDefaults> defaults = QueryPulseDefaults();
    if (!defaults)
        return qtChoice;
    return DeviceNamed(QMediaDevices::audioOutputs(), defaults->sink, qtChoice);
}
