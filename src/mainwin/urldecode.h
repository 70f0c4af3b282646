#pragma once

#include <QByteArray>
#include <QString>

// The text of the failure of the strict decoder.
inline constexpr char InvalidHexDigitText[] = "Invalid HEX digit in URL";

// Strict URL decoding, left to right: "+" becomes a space, "%" and two hexadecimal digits
// become the byte they denote (00 included), anything else is copied. A "%" not followed by
// two hexadecimal digits fails with ClientError(InvalidHexDigitText).
QByteArray StrictUrlDecode(const QByteArray& text);

// Lenient URL decoding: every "+" becomes a space first; then "%" and the two characters after
// it become the byte they denote when they are two hexadecimal digits worth 1 to 255, and are
// dropped otherwise (also when fewer than two characters follow). Never fails.
QByteArray LenientUrlDecode(const QByteArray& text);

// The "ReturnURL" cookie value: decoded once by the strict decoder, the bytes read as local
// text. Fails like StrictUrlDecode.
QString DecodeReturnURL(const QString& value);

// The "ReturnTip" cookie value: the site encodes UTF-8 text twice, so it is decoded twice by
// the lenient decoder and the bytes are read as UTF-8.
QString DecodeReturnTip(const QString& value);
