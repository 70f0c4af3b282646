#include "riffwave.h"

#include <QtEndian>

namespace {

constexpr quint16 FormatExtensible = 0xFFFE;
constexpr qint64 HeaderSize = 12;
constexpr qint64 ChunkHeaderSize = 8;
constexpr qint64 FormatFieldsSize = 16;
// The extensible format's sub-format GUID begins at this offset; its first two bytes are the tag.
constexpr qint64 ExtensibleSize = 40;
constexpr qint64 SubFormatAt = 24;

quint16 Le16(const char* at) {
    return qFromLittleEndian<quint16>(at);
}
quint32 Le32(const char* at) {
    return qFromLittleEndian<quint32>(at);
}

} // namespace

bool IsRiffWave(const QByteArray& bytes) {
    return bytes.size() >= HeaderSize && bytes.startsWith("RIFF") && bytes.mid(8, 4) == "WAVE";
}

void WalkRiffChunks(const QByteArray& bytes, const std::function<bool(const RiffChunk&)>& visit) {
    const qint64 total = bytes.size();
    qint64 at = HeaderSize;
    while (at + ChunkHeaderSize <= total) {
        RiffChunk chunk;
        chunk.id = bytes.mid(at, 4);
        chunk.declaredSize = Le32(bytes.constData() + at + 4);
        const qint64 bodyAt = at + ChunkHeaderSize;
        chunk.available = std::min(chunk.declaredSize, total - bodyAt);
        chunk.body = bytes.constData() + bodyAt;
        if (!visit(chunk))
            return;
        // Chunks are padded to an even length.
        at = bodyAt + chunk.declaredSize + (chunk.declaredSize & 1);
    }
}

std::optional<WaveFormatFields> ReadWaveFormat(const char* body, qint64 size) {
    if (size < FormatFieldsSize)
        return std::nullopt;
    WaveFormatFields format;
    format.tag = Le16(body);
    format.channels = Le16(body + 2);
    format.sampleRate = Le32(body + 4);
    format.blockAlign = Le16(body + 12);
    format.bitsPerSample = Le16(body + 14);
    if (format.tag == FormatExtensible && size >= ExtensibleSize)
        format.tag = Le16(body + SubFormatAt);
    return format;
}
