#include "reccheck/audiocontrols/micmeter.h"

#include "reccheck/audiocontrols/miclevelhub.h"

#include <QPainter>
#include <algorithm>

namespace {

constexpr int FallIntervalMs = 30;
// A full meter empties in about 0.6 s: slow enough to read, quick enough to follow speech.
constexpr double FallPerInterval = 0.05;

const QColor FallbackBackground(48, 48, 48);
const QColor FallbackForeground(64, 192, 80);

double HeightFraction(double peakDbfs) {
    return std::clamp(1.0 - peakDbfs / TQtMicLevel::FloorDbfs, 0.0, 1.0);
}

} // namespace

TQtMicLevel::TQtMicLevel(QWidget* parent) : TVyraMicLevel(parent) {
    fallTimer_.setInterval(FallIntervalMs);
    connect(&fallTimer_, &QTimer::timeout, this, [this] { FallBack(); });
}

void TQtMicLevel::SetBackgroundImage(const QString& path) {
    backgroundPath_ = path;
    background_ = QPixmap(path);
    update();
}

void TQtMicLevel::SetForegroundImage(const QString& path) {
    foregroundPath_ = path;
    foreground_ = QPixmap(path);
    update();
}

void TQtMicLevel::StartMeter() {
    if (!levelConnection_)
        levelConnection_ = connect(&MicLevelHub::Instance(), &MicLevelHub::levelChanged, this,
                                   [this](double peakDbfs) { OnLevel(peakDbfs); });
    fallTimer_.start();
}

void TQtMicLevel::StopMeter() {
    disconnect(levelConnection_);
    levelConnection_ = {};
    fallTimer_.stop();
    target_ = 0;
    shown_ = 0;
    update();
}

void TQtMicLevel::OnLevel(double peakDbfs) {
    target_ = HeightFraction(peakDbfs);
    if (target_ > shown_) {
        shown_ = target_;
        update();
    }
}

void TQtMicLevel::FallBack() {
    if (shown_ <= target_)
        return;
    shown_ = std::max(target_, shown_ - FallPerInterval);
    update();
}

void TQtMicLevel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (background_.isNull())
        painter.fillRect(rect(), FallbackBackground);
    else
        painter.drawPixmap(rect(), background_);

    const int litHeight = qRound(height() * shown_);
    const QRect lit(0, height() - litHeight, width(), litHeight);
    if (foreground_.isNull()) {
        painter.fillRect(lit, FallbackForeground);
        return;
    }
    const double sourceHeight = foreground_.height() * shown_;
    const QRectF source(0, foreground_.height() - sourceHeight, foreground_.width(), sourceHeight);
    painter.drawPixmap(QRectF(lit), foreground_, source);
}
