// Any settings file: reading never fails, and a value written is the value read back; any
// pinned certificates' value gives only whole fingerprints, each read back from its own text.
#include "base/inifile.h"
#include "bridge/certificatepolicy.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray content(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const char* key : {"Host", "Title", "RecTip", "level"})
        ReadProfileText(content, QStringLiteral("Host"), QString::fromLatin1(key), {});

    const PinnedFingerprints pinned = ParsePinnedFingerprints(
        ReadProfileText(content, QStringLiteral("Host"), QStringLiteral("CertificateSHA256"), {}));
    for (const QByteArray& fingerprint : pinned.fingerprints)
        if (fingerprint.size() != 32 ||
            ParseFingerprint(FingerprintText(fingerprint)) != fingerprint)
            std::abort();

    const QByteArray written = WriteProfileText(content, QStringLiteral("CheckRecTip"),
                                                QStringLiteral("RecTip"), QStringLiteral("no"));
    if (ReadProfileText(written, QStringLiteral("CheckRecTip"), QStringLiteral("RecTip"),
                        QStringLiteral("yes")) != QLatin1String("no"))
        std::abort();
    return 0;
}
