#pragma once

#include <QString>

// Plays a short sound file and returns when it has ended, as the recording check's ding
// must: the recording begins only after it. A file that cannot be played gives the system
// beep; with no sound output device nothing is played.
void PlaySoundSync(const QString& path);
