#pragma once

#include <QAudioDevice>

// The system's default microphone and loudspeaker; null devices when there are none. Qt 6.4
// does not tell which PulseAudio device is the default, so the device named by the server's
// defaults is taken, and Qt's own choice only when the server does not answer. Qt 6.8 lists
// devices the server has removed: a device the server no longer has is never the answer.
QAudioDevice DefaultAudioInput();
QAudioDevice DefaultAudioOutput();
