#include "reccheckart.h"

#include <QPainter>

#include <algorithm>

namespace {

// The desktop icon: the character for "English" on the client's blue, with the microphone of
// the sound check as a badge, since speaking practice is what sets the client apart.
QImage Icon(int size) {
    QImage icon = TransparentImage(size, size);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    const qreal margin = size / 16.0;
    const QRectF tile(margin, margin, size - 2 * margin, size - 2 * margin);
    painter.setPen(Qt::NoPen);
    painter.setBrush(VerticalGradient(tile, Look::Bright, Look::Deep));
    painter.drawPath(RoundedBox(tile, tile.width() * 0.2));

    painter.setPen(Qt::white);
    painter.setFont(CjkFont(qRound(tile.height() * 0.58), true));
    const QRectF glyph(tile.left(), tile.top(), tile.width() * 0.82, tile.height() * 0.86);
    painter.drawText(glyph, Qt::AlignCenter, QStringLiteral("英"));

    const qreal badgeRadius = tile.width() * 0.2;
    const QPointF badgeCentre(tile.right() - badgeRadius * 0.95,
                              tile.bottom() - badgeRadius * 0.95);
    painter.setPen(QPen(Look::Deep, std::max<qreal>(1, size / 64.0)));
    painter.setBrush(Look::Pale);
    painter.drawEllipse(badgeCentre, badgeRadius, badgeRadius);
    const qreal micHalf = badgeRadius * 0.55;
    DrawMicrophone(painter,
                   QRectF(badgeCentre.x() - micHalf, badgeCentre.y() - micHalf * 1.1, 2 * micHalf,
                          2.2 * micHalf),
                   Look::Deep);
    painter.end();
    return icon;
}

} // namespace

void DrawIconArt(const QString& resources) {
    for (const int size : {48, 256})
        Save(Icon(size), QStringLiteral("%1/icons/parvelo-%2.png").arg(resources).arg(size));
}
