#include "reccheckart.h"

#include <algorithm>

void DrawMicrophone(QPainter& painter, const QRectF& area, const QColor& ink) {
    const qreal stroke = std::max<qreal>(1.4, area.width() * 0.1);
    const qreal x = area.center().x();
    const qreal capsuleWidth = area.width() * 0.48;
    const qreal capsuleHeight = area.height() * 0.56;
    const QRectF capsule(x - capsuleWidth / 2, area.top(), capsuleWidth, capsuleHeight);

    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawPath(RoundedBox(capsule, capsuleWidth / 2));

    // The cradle: a U around the lower end of the capsule, then the stem and the foot.
    const qreal reach = capsuleWidth / 2 + stroke * 1.4;
    const qreal bend = capsule.bottom() - capsuleWidth / 2;
    const qreal top = capsule.top() + capsuleHeight * 0.42;
    QPainterPath cradle;
    cradle.moveTo(x - reach, top);
    cradle.lineTo(x - reach, bend);
    cradle.arcTo(QRectF(x - reach, bend - reach, 2 * reach, 2 * reach), 180, 180);
    cradle.lineTo(x + reach, top);
    const qreal foot = area.bottom() - stroke / 2;
    cradle.moveTo(x, bend + reach);
    cradle.lineTo(x, foot);
    cradle.moveTo(x - reach * 0.8, foot);
    cradle.lineTo(x + reach * 0.8, foot);
    painter.setPen(QPen(ink, stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(cradle);
    painter.restore();
}
