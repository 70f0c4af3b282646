#pragma once

#include <QObject>

// Carries the live microphone level from the recorder to the level meters of this module.
class MicLevelHub : public QObject {
    Q_OBJECT
public:
    static MicLevelHub& Instance();

    // A new level in dB relative to full scale; minus infinity when the input fell silent or
    // the recording ended.
    void Publish(double peakDbfs) { emit levelChanged(peakDbfs); }

signals:
    void levelChanged(double peakDbfs);
};
