#pragma once

#include "reccheck/audiocontrols.h"

#include <QPixmap>
#include <QTimer>

// The level meter: the foreground picture uncovered from the bottom over the background one,
// as high as the live level of the recording in progress (it opens no microphone of its own).
// The level rises at once and falls back slowly. Without its pictures it paints plain colours.
class TQtMicLevel : public TVyraMicLevel {
public:
    // The level shown empty; 0 dBFS fills the meter, the scale between is linear in dB.
    static constexpr double FloorDbfs = -60.0;

    explicit TQtMicLevel(QWidget* parent = nullptr);

    QString BackgroundImage() const override { return backgroundPath_; }
    void SetBackgroundImage(const QString& path) override;
    QString ForegroundImage() const override { return foregroundPath_; }
    void SetForegroundImage(const QString& path) override;
    void StartMeter() override;
    // Empties the meter; later levels are ignored until the next StartMeter.
    void StopMeter() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnLevel(double peakDbfs);
    void FallBack();

    QString backgroundPath_;
    QString foregroundPath_;
    QPixmap background_;
    QPixmap foreground_;
    QTimer fallTimer_;
    QMetaObject::Connection levelConnection_;
    // Fractions of the height: the latest level, and the one shown while falling towards it.
    double target_ = 0;
    double shown_ = 0;
};
