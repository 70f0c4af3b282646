#pragma once

#include <QByteArray>
#include <QString>

#include <ostream>

// Readable failure messages for the Qt texts the tables use.
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
