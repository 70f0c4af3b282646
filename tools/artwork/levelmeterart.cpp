#include "reccheckart.h"

namespace {

// The meter shows its background and uncovers the foreground from the bottom up in
// proportion to the input level, so both pictures carry the same column of segments: dim in
// the one, lit from green through yellow to red in the other.
const QSize MeterSize(70, 150);
constexpr int SegmentCount = 14;
constexpr int SegmentPitch = 10;
constexpr int SegmentHeight = 7;
constexpr int SegmentLeft = 17;
constexpr int SegmentWidth = 36;

const QColor Panel(0x12, 0x2a, 0x4a);

QColor Mix(const QColor& a, const QColor& b, double at) {
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * at,
                            a.greenF() + (b.greenF() - a.greenF()) * at,
                            a.blueF() + (b.blueF() - a.blueF()) * at);
}

// Segment 0 is the lowest.
QColor LitColour(int segment) {
    const QColor green(0x3c, 0xd0, 0x5a);
    const QColor yellow(0xf2, 0xd2, 0x2e);
    const QColor red(0xeb, 0x3f, 0x2f);
    const double height = static_cast<double>(segment) / (SegmentCount - 1);
    constexpr double YellowAt = 0.65;
    if (height <= YellowAt)
        return Mix(green, yellow, height / YellowAt);
    return Mix(yellow, red, (height - YellowAt) / (1 - YellowAt));
}

QRect SegmentRect(int segment) {
    const int column = SegmentCount * SegmentPitch - (SegmentPitch - SegmentHeight);
    const int bottom = (MeterSize.height() + column) / 2;
    const int top = bottom - (segment + 1) * SegmentPitch + (SegmentPitch - SegmentHeight);
    return QRect(SegmentLeft, top, SegmentWidth, SegmentHeight);
}

QImage Meter(bool lit) {
    QImage picture(MeterSize, QImage::Format_RGB32);
    picture.fill(Panel);
    QPainter painter(&picture);
    painter.setPen(Look::Dark);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(QPoint(0, 0), MeterSize - QSize(1, 1)));
    painter.setPen(QColor(0x0b, 0x1c, 0x33));
    painter.drawRect(QRect(QPoint(1, 1), MeterSize - QSize(3, 3)));

    for (int segment = 0; segment < SegmentCount; ++segment) {
        const QRect rect = SegmentRect(segment);
        const QColor colour = LitColour(segment);
        // Scale marks on both sides of every other segment.
        if (segment % 2 == 0) {
            const int y = rect.center().y();
            painter.fillRect(QRect(SegmentLeft - 8, y, 4, 1), Look::Muted);
            painter.fillRect(QRect(rect.right() + 5, y, 4, 1), Look::Muted);
        }
        if (lit) {
            painter.fillRect(rect, colour);
            painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), colour.lighter(135));
        } else {
            painter.fillRect(rect, Mix(Panel, colour, 0.22));
        }
    }
    return picture;
}

} // namespace

void DrawLevelMeterArt(const QString& resources) {
    const QString folder = resources + QStringLiteral("/install/engine/bin/");
    Save(Meter(false), folder + QStringLiteral("revirode_sound_bg.bmp"), "BMP");
    Save(Meter(true), folder + QStringLiteral("revirode_sound_fg.bmp"), "BMP");
}
