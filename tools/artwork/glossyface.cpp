#include "reccheckart.h"

#include <QFontMetricsF>

QImage GlossyFace(QSize size, qreal radius, const FaceColours& colours, const QColor& matte,
                  const FaceSymbol& symbol) {
    QImage face = TransparentImage(size.width(), size.height());
    QPainter painter(&face);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QRectF box(0.5, 0.5, size.width() - 1, size.height() - 1);
    painter.setPen(QPen(colours.edge, 1));
    painter.setBrush(VerticalGradient(box, colours.top, colours.bottom));
    painter.drawPath(RoundedBox(box, radius));

    // The gloss stays inside the edge so the outline keeps its colour all round.
    const QRectF inner = box.adjusted(1, 1, -1, -1);
    const QRectF upperHalf(inner.left(), inner.top(), inner.width(), inner.height() / 2);
    painter.save();
    painter.setClipPath(RoundedBox(inner, radius - 1));
    painter.fillRect(upperHalf, VerticalGradient(upperHalf, QColor(255, 255, 255, 70),
                                                 QColor(255, 255, 255, 18)));
    painter.restore();

    symbol(painter, box.translated(colours.shift, colours.shift), colours.ink);
    painter.end();
    return OnOlive(face, matte);
}

FaceSymbol Caption(const QString& word, int pixelSize) {
    return [=](QPainter& painter, const QRectF& box, const QColor& ink) {
        painter.setFont(CjkFont(pixelSize, true));
        // A faint shadow under light captions keeps them crisp on the gradient.
        if (ink.lightness() > 160) {
            painter.setPen(QColor(0, 0, 0, 60));
            painter.drawText(box.translated(0, 1), Qt::AlignCenter, word);
        }
        painter.setPen(ink);
        painter.drawText(box, Qt::AlignCenter, word);
    };
}
