#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <ostream>

// Readable failure messages for the Qt value types the tables use.
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
