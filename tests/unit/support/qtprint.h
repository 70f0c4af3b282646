#pragma once

#include <QByteArray>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <ostream>

// Readable failure messages for the Qt value types and texts the tables use.
inline void PrintTo(const QSize& size, std::ostream* out) {
    *out << size.width() << "x" << size.height();
}
inline void PrintTo(const QPoint& point, std::ostream* out) {
    *out << "(" << point.x() << "," << point.y() << ")";
}
inline void PrintTo(const QRect& rect, std::ostream* out) {
    *out << rect.x() << "," << rect.y() << " " << rect.width() << "x" << rect.height();
}
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QByteArray& bytes, std::ostream* out) {
    *out << '"';
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x7f) {
            const char digits[] = "0123456789ABCDEF";
            *out << "\\x" << digits[u >> 4] << digits[u & 15];
        } else {
            *out << c;
        }
    }
    *out << '"';
}
