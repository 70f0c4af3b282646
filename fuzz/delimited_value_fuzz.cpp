// Any cookie text: the lookup never fails, and a value found is part of the text.
#include "base/delimitedvalue.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const char* name : {"ReturnURL", "ReturnTip", ""}) {
        const QString value = GetDelimitedValue(QString::fromLatin1(name), text);
        // Quoted items turn doubled quotes into one, so compare without quotes.
        QString plain = text;
        plain.remove(QLatin1Char('"'));
        QString found = value;
        found.remove(QLatin1Char('"'));
        if (!plain.contains(found))
            std::abort();
    }
    return 0;
}
