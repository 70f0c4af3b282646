// What the compatibility layer's calls and the platform's media files bring: a dialog's
// features text, a channel address and a listening file's header. A dialog always lands inside
// the screen's free area at 100 × 100 or more; a channel call that names a page or file names a
// web address; a file's declared size is read without reading past its bytes.
#include "bridge/asfheader.h"
#include "bridge/dialogfeatures.h"
#include "bridge/pagechannel.h"

#include <QUrl>
#include <cstdint>
#include <cstdlib>

namespace {

void CheckFeatures(const QByteArray& data) {
    const QRect area(0, 24, 1280, 1000);
    const QRect dialog = DialogGeometry(ParseDialogFeatures(QString::fromUtf8(data)), area);
    if (dialog.width() < 100 || dialog.height() < 100 || !area.contains(dialog))
        std::abort();
}

void CheckChannel(const QByteArray& data) {
    const ChannelRequest request =
        ParseChannelRequest(QUrl(QStringLiteral("parvelo-ie://client/") + QString::fromUtf8(data)));
    const bool namesTarget = request.call == ChannelCall::Dialog ||
                             request.call == ChannelCall::Modeless ||
                             request.call == ChannelCall::Media;
    const QString scheme = request.target.scheme();
    if (namesTarget && ((scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
                        request.target.host().isEmpty()))
        std::abort();
    if (!namesTarget && !request.target.isEmpty())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const QByteArray data(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size));
    CheckFeatures(data);
    CheckChannel(data);
    AsfDeclaredFileSize(data);
    return 0;
}
