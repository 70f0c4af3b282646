#include "painting.h"

#include <QDir>
#include <QFileInfo>
#include <QLinearGradient>
#include <QTextStream>

#include <cstdlib>

QFont CjkFont(int pixelSize, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QBrush VerticalGradient(const QRectF& rect, const QColor& top, const QColor& bottom) {
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    return QBrush(gradient);
}

QPainterPath RoundedBox(const QRectF& rect, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QImage TransparentImage(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

QImage OnOlive(const QImage& face, const QColor& matte) {
    const QImage source = face.convertToFormat(QImage::Format_ARGB32);
    QImage keyed(source.size(), QImage::Format_RGB32);
    for (int y = 0; y < source.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            const int alpha = qAlpha(in[x]);
            if (alpha < 96) {
                out[x] = Look::Olive.rgb();
                continue;
            }
            const auto mix = [alpha](int over, int under) {
                return (over * alpha + under * (255 - alpha) + 127) / 255;
            };
            out[x] = qRgb(mix(qRed(in[x]), matte.red()), mix(qGreen(in[x]), matte.green()),
                          mix(qBlue(in[x]), matte.blue()));
        }
    }
    return keyed;
}

void Save(const QImage& picture, const QString& path, const char* format, int quality) {
    const QFileInfo target(path);
    if (!QDir().mkpath(target.absolutePath()) || !picture.save(path, format, quality)) {
        QTextStream(stderr) << "cannot write " << path << '\n';
        std::exit(1);
    }
}
