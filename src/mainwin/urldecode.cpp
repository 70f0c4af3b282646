#include "mainwin/urldecode.h"

#include "base/textcodec.h"
#include "ui/errorbox.h"

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

QByteArray StrictUrlDecode(const QByteArray& text) {
    QByteArray result;
    result.reserve(text.size());
    const qsizetype size = text.size();
    for (qsizetype at = 0; at < size; ++at) {
        const char c = text[at];
        if (c == '+') {
            result += ' ';
        } else if (c == '%') {
            // A "%" among the last two characters cannot carry two digits.
            if (at + 2 >= size)
                throw ClientError(QString::fromLatin1(InvalidHexDigitText));
            const int high = HexValue(text[at + 1]);
            const int low = HexValue(text[at + 2]);
            if (high < 0 || low < 0)
                throw ClientError(QString::fromLatin1(InvalidHexDigitText));
            result += static_cast<char>(high * 16 + low);
            at += 2;
        } else {
            result += c;
        }
    }
    return result;
}

QByteArray LenientUrlDecode(const QByteArray& text) {
    QByteArray plus = text;
    plus.replace('+', ' ');
    QByteArray result;
    result.reserve(plus.size());
    const qsizetype size = plus.size();
    qsizetype at = 0;
    while (at < size) {
        const char c = plus[at];
        if (c != '%') {
            result += c;
            ++at;
            continue;
        }
        // The escape always takes three characters, or what is left of them at the end.
        if (at + 2 < size) {
            const int high = HexValue(plus[at + 1]);
            const int low = HexValue(plus[at + 2]);
            if (high >= 0 && low >= 0 && high * 16 + low != 0)
                result += static_cast<char>(high * 16 + low);
        }
        at += 3;
    }
    return result;
}

QString DecodeReturnURL(const QString& value) {
    return DecodeLocalText(StrictUrlDecode(value.toUtf8()));
}

QString DecodeReturnTip(const QString& value) {
    return QString::fromUtf8(LenientUrlDecode(LenientUrlDecode(value.toUtf8())));
}
