#include "base/textcodec.h"

#include <QStringDecoder>
#include <cerrno>
#include <iconv.h>

namespace {

QString DecodeGbk(const QByteArray& bytes) {
    iconv_t converter = iconv_open("UTF-8", "GBK");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return QString::fromLatin1(bytes);
    QByteArray input = bytes;
    QByteArray output(bytes.size() * 3 + 4, '\0');
    char* in = input.data();
    size_t inLeft = static_cast<size_t>(input.size());
    char* out = output.data();
    size_t outLeft = static_cast<size_t>(output.size());
    while (inLeft > 0) {
        if (iconv(converter, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG)
            break; // cannot happen: every GBK byte becomes at most three UTF-8 bytes
        // A byte that is not GBK either stands for itself as U+FFFD.
        ++in;
        --inLeft;
        if (outLeft >= 3) {
            *out++ = '\xEF';
            *out++ = '\xBF';
            *out++ = '\xBD';
            outLeft -= 3;
        }
    }
    iconv_close(converter);
    output.truncate(output.size() - static_cast<qsizetype>(outLeft));
    return QString::fromUtf8(output);
}

} // namespace

QString DecodeLocalText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return DecodeGbk(bytes);
}
