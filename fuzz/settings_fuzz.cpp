// Any settings file: reading never fails, and a value written is the value read back.
#include "base/inifile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray content(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const char* key : {"Host", "Title", "RecTip", "level"})
        ReadProfileText(content, QStringLiteral("Host"), QString::fromLatin1(key), {});

    const QByteArray written = WriteProfileText(content, QStringLiteral("CheckRecTip"),
                                                QStringLiteral("RecTip"), QStringLiteral("no"));
    if (ReadProfileText(written, QStringLiteral("CheckRecTip"), QStringLiteral("RecTip"),
                        QStringLiteral("yes")) != QLatin1String("no"))
        std::abort();
    return 0;
}
