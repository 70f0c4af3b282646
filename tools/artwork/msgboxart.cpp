#include "painting.h"

#include <QPainter>

namespace {

// The box is 318 × 150 and its skin half that size, stretched: the title strip covers the
// title line (form rows 0-27), the buttons sit on the body at form rows 104-130.
constexpr int SkinWidth = 160;
constexpr int SkinHeight = 75;
constexpr int TitleStripHeight = 14;

constexpr int FaceWidth = 65;
constexpr int FaceHeight = 26;

QImage Background() {
    QImage skin(SkinWidth, SkinHeight, QImage::Format_RGB32);
    QPainter painter(&skin);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(skin.rect(), Look::Pale);

    const QRect strip(0, 0, SkinWidth, TitleStripHeight);
    painter.fillRect(strip, VerticalGradient(strip, Look::Bright, Look::Mid));
    painter.fillRect(QRect(0, 0, SkinWidth, 1), Look::Light);
    painter.fillRect(QRect(0, TitleStripHeight, SkinWidth, 1), Look::Dark);

    // A faint rule above the buttons and a lighter band under the title give the body depth.
    const QRect band(1, TitleStripHeight + 1, SkinWidth - 2, 8);
    painter.fillRect(band, VerticalGradient(band, Look::Paler, Look::Pale));
    painter.fillRect(QRect(8, 49, SkinWidth - 16, 1), QColor(0xcc, 0xdd, 0xf2));

    painter.setPen(Look::Dark);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(0, 0, SkinWidth - 1, SkinHeight - 1));
    return skin;
}

// Two faces side by side: the normal one pale, the one under the mouse dark blue.
QImage ButtonStrip(const QString& word) {
    QImage strip(2 * FaceWidth, FaceHeight, QImage::Format_RGB32);
    strip.fill(Look::Pale);
    QPainter painter(&strip);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(CjkFont(13, false));

    struct Face {
        QColor top, bottom, edge, text;
    };
    const Face faces[2] = {
        {QColor(0xff, 0xff, 0xff), QColor(0xd6, 0xe6, 0xf8), QColor(0x6f, 0x9b, 0xd1), Look::Ink},
        {Look::Bright, Look::Dark, Look::Deep, Qt::white},
    };
    for (int cell = 0; cell < 2; ++cell) {
        const Face& face = faces[cell];
        const QRectF box(cell * FaceWidth + 2.5, 1.5, FaceWidth - 5, FaceHeight - 3);
        painter.setPen(QPen(face.edge, 1));
        painter.setBrush(VerticalGradient(box, face.top, face.bottom));
        painter.drawPath(RoundedBox(box, 3));
        painter.setPen(face.text);
        painter.drawText(box, Qt::AlignCenter, word);
    }
    return strip;
}

} // namespace

void DrawMsgBoxArt(const QString& resources) {
    const QString folder = resources + QStringLiteral("/forms/msgbox/");
    Save(Background(), folder + QStringLiteral("background.jpg"), "JPEG", 95);
    Save(ButtonStrip(QStringLiteral("确定")), folder + QStringLiteral("ok.png"));
    Save(ButtonStrip(QStringLiteral("取消")), folder + QStringLiteral("cancel.png"));
}
