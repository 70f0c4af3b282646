// Any navigation address and any cookie value: the command reader and both URL decoders take
// page input. The command found is a cut of the lower-cased address, the decoders never grow
// their input, and where the strict decoder succeeds the lenient one agrees with it.
#include "bridge/commandaddress.h"
#include "mainwin/urldecode.h"
#include "ui/errorbox.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void CheckCommand(const QByteArray& data) {
    const QString url = QString::fromUtf8(data);
    const std::optional<ClientCommand> parsed = ParseCommandAddress(url);
    const QByteArray lower = BridgeLower(url);
    const qsizetype marker = lower.indexOf("command:");
    if (parsed.has_value() != (marker >= 0 && lower.indexOf(',', marker) >= 0))
        std::abort();
    if (!parsed)
        return;
    const QByteArray command = parsed->command.toUtf8();
    const QByteArray rebuilt = "command:" + command + ',' + parsed->params.toUtf8();
    if (lower.mid(marker) != rebuilt || command.contains(','))
        std::abort();
    for (const char c : rebuilt) {
        if (c >= 'A' && c <= 'Z')
            std::abort();
    }
}

void CheckDecoders(const QByteArray& data) {
    const QByteArray lenient = LenientUrlDecode(data);
    if (lenient.size() > data.size())
        std::abort();
    QByteArray strict;
    try {
        strict = StrictUrlDecode(data);
    } catch (const ClientError& failure) {
        if (std::strcmp(failure.what(), InvalidHexDigitText) != 0 || !data.contains('%'))
            std::abort();
        return;
    }
    if (strict.size() > data.size())
        std::abort();
    // The lenient decoder drops the zero bytes that the strict one writes for "%00".
    if (!data.contains('\0') && lenient != QByteArray(strict).replace('\0', QByteArray()))
        std::abort();
    DecodeReturnTip(QString::fromUtf8(data));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CheckCommand(bytes);
    CheckDecoders(bytes);
    return 0;
}
