#include "reccheck/syncsound.h"

#include "log/logger.h"

#include <QApplication>
#include <QAudioDevice>
#include <QEventLoop>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

namespace {

// The end of a sound can be reported up to a second late; a ding that never reports its
// end must not hold the check for ever.
constexpr int LongestWaitMs = 5000;

} // namespace

bool PlaySoundSync(const QString& path) {
    // Without an output device a sound effect never reports its end.
    if (QMediaDevices::audioOutputs().isEmpty())
        return false;
    if (!QFileInfo(path).isFile()) {
        DebugLog("sound %s missing: beep", qUtf8Printable(path));
        QApplication::beep();
        return true;
    }
    QSoundEffect sound;
    QEventLoop wait;
    bool started = false;
    QObject::connect(&sound, &QSoundEffect::statusChanged, &wait, [&] {
        if (sound.status() == QSoundEffect::Ready) {
            DebugLog("sound %s playing", qUtf8Printable(QFileInfo(path).fileName()));
            started = true;
            sound.play();
        } else if (sound.status() == QSoundEffect::Error)
            wait.quit();
    });
    QObject::connect(&sound, &QSoundEffect::playingChanged, &wait, [&] {
        if (!sound.isPlaying())
            wait.quit();
    });
    QTimer::singleShot(LongestWaitMs, &wait, &QEventLoop::quit);
    sound.setSource(QUrl::fromLocalFile(path));
    // Clicks wait until the sound has ended; timers and sound events go on.
    wait.exec(QEventLoop::ExcludeUserInputEvents);
    // A sound that failed once it had started lost its output; one that never started could
    // not be read.
    if (QMediaDevices::audioOutputs().isEmpty() ||
        (started && sound.status() == QSoundEffect::Error)) {
        DebugLog("sound %s: the sound output went away", qUtf8Printable(path));
        return false;
    }
    if (sound.status() == QSoundEffect::Error) {
        DebugLog("sound %s cannot be played: beep", qUtf8Printable(path));
        QApplication::beep();
    }
    return true;
}
