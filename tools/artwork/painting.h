#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <QString>

// Shared look of the client's pictures: one family of blues, Chinese text in a CJK font.
namespace Look {
inline const QColor Deep{0x17, 0x43, 0x7d};
inline const QColor Dark{0x1f, 0x55, 0x9c};
inline const QColor Mid{0x2e, 0x6d, 0xbd};
inline const QColor Bright{0x4a, 0x90, 0xde};
inline const QColor Light{0x9c, 0xc4, 0xee};
inline const QColor Pale{0xe9, 0xf1, 0xfb};
inline const QColor Paler{0xf6, 0xfa, 0xfe};
inline const QColor Ink{0x1a, 0x3e, 0x6e};
inline const QColor Muted{0x8d, 0xa3, 0xbd};
// Every button face of the main window is drawn on olive, its transparent colour.
inline const QColor Olive{128, 128, 0};
} // namespace Look

QFont CjkFont(int pixelSize, bool bold);

// A vertical gradient over rect from top to bottom.
QBrush VerticalGradient(const QRectF& rect, const QColor& top, const QColor& bottom);

QPainterPath RoundedBox(const QRectF& rect, qreal radius);

// A face drawn on a transparent image, put on olive for its colour key: pixels mostly covered
// keep their colour (edge pixels blended with matte, the colour the face will sit on), the
// rest become olive, so no olive-tinted fringe is left.
QImage OnOlive(const QImage& face, const QColor& matte);

QImage TransparentImage(int width, int height);

// Writes the picture, creating its folder; exits the program on failure.
void Save(const QImage& picture, const QString& path, const char* format = nullptr,
          int quality = -1);
