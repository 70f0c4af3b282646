// Any text and delimiter: the pieces joined by the delimiter give the text again.
#include "base/textsplit.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const qsizetype delimiterSize = data[0] % 4 + 1;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1),
                           static_cast<qsizetype>(size - 1));
    const QString delimiter = QString::fromUtf8(bytes.left(delimiterSize));
    const QString text = QString::fromUtf8(bytes.mid(delimiterSize));
    if (delimiter.isEmpty())
        return 0;
    const QStringList pieces = SplitText(text, delimiter);
    if (pieces.join(delimiter) != text || (text.isEmpty() != pieces.isEmpty()))
        std::abort();
    return 0;
}
