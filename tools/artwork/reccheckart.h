#pragma once

#include "painting.h"

#include <QPainter>
#include <QSize>

#include <functional>

// Pieces shared by the pictures of the microphone check (the wizard, its tip dialog and the
// level meter).

namespace RecCheckLook {
// The wizard pages' body and the band at their bottom that carries the buttons.
inline const QColor Body = Look::Paler;
inline const QColor Band = Look::Pale;
} // namespace RecCheckLook

struct FaceColours {
    QColor top, bottom, edge, ink;
    int shift = 0; // pressed faces move their content one pixel down and right
};

using FaceSymbol = std::function<void(QPainter&, const QRectF& box, const QColor& ink)>;

// A rounded button face with a soft gloss on its upper half, put on olive.
QImage GlossyFace(QSize size, qreal radius, const FaceColours& colours, const QColor& matte,
                  const FaceSymbol& symbol);

// A word centred on the face.
FaceSymbol Caption(const QString& word, int pixelSize);

// A studio microphone on its stand, filling area from top to bottom.
void DrawMicrophone(QPainter& painter, const QRectF& area, const QColor& ink);

// The parts beside the wizard itself, each in its own file.
void DrawTipCheckRecArt(const QString& resources);
void DrawLevelMeterArt(const QString& resources);
void WriteDingSound(const QString& resources);
