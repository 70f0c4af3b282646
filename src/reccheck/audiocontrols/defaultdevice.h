#pragma once

#include <QByteArray>

// The names of the sound server's default microphone and loudspeaker; empty when there are
// none, when the server does not answer, and for a default input that is only the monitor of
// a loudspeaker.
QByteArray DefaultAudioInput();
QByteArray DefaultAudioOutput();
