#include "ui/olivekey.h"

namespace {
constexpr QRgb Olive = qRgb(128, 128, 0);
}

QImage WithOliveTransparent(const QImage& face) {
    QImage image = face.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((row[x] & 0x00FFFFFF) == (Olive & 0x00FFFFFF))
                row[x] = qRgba(0, 0, 0, 0);
    }
    return image;
}
