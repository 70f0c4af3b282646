#pragma once

#include <QString>

// Plays a short sound file and returns when it has ended, as the recording check's ding
// must: the recording begins only after it. A file that cannot be played gives the system
// beep. False when the sound system cannot play: there is no sound output device, or it went
// away while the sound played.
bool PlaySoundSync(const QString& path);
