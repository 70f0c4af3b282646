#include "reccheck/syncsound.h"

#include "log/logger.h"
#include "reccheck/soundout/playablewav.h"
#include "reccheck/soundout/pulseplayer.h"
#include "system/pulsedefaults.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <optional>

namespace {

// The end of a sound can be reported up to a second late; a ding that never reports its
// end must not hold the check for ever.
constexpr int LongestWaitMs = 5000;

} // namespace

bool PlaySoundSync(const QString& path) {
    const std::optional<PulseDefaults> server = QueryPulseDefaults();
    if (!server || server->sink.isEmpty())
        return false;
    if (!QFileInfo(path).isFile()) {
        DebugLog("sound %s missing: beep", qUtf8Printable(path));
        QApplication::beep();
        return true;
    }
    QString reason;
    const std::optional<PlayableWav> sound = ReadPlayableWav(path, &reason);
    if (!sound) {
        DebugLog("sound %s cannot be played (%s): beep", qUtf8Printable(path),
                 qUtf8Printable(reason));
        QApplication::beep();
        return true;
    }
    PulsePlayer player;
    QEventLoop wait;
    bool lost = false;
    const auto ended = [&](PulsePlayer::End end) {
        lost = end == PulsePlayer::End::Lost;
        wait.quit();
    };
    if (!player.Start(*sound, server->sink, ended, &reason)) {
        DebugLog("sound %s: the sound output went away (%s)", qUtf8Printable(path),
                 qUtf8Printable(reason));
        return false;
    }
    DebugLog("sound %s playing", qUtf8Printable(QFileInfo(path).fileName()));
    QTimer::singleShot(LongestWaitMs, &wait, &QEventLoop::quit);
    // Clicks wait until the sound has ended; timers and sound events go on.
    wait.exec(QEventLoop::ExcludeUserInputEvents);
    player.Stop();
    if (lost) {
        DebugLog("sound %s: the sound output went away", qUtf8Printable(path));
        return false;
    }
    return true;
}
