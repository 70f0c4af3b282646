#include "bridge/asfheader.h"

#include <QtEndian>
#include <algorithm>

namespace {

// The header object's and the file properties object's identifiers, as stored.
const unsigned char HeaderId[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                    0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
const unsigned char FilePropertiesId[16] = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                            0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr qsizetype IdSize = 16;
constexpr qsizetype ObjectHead = IdSize + 8;
// Header object: its head, the number of objects (4 bytes) and two reserved bytes.
constexpr qsizetype HeaderObjectHead = ObjectHead + 6;
// File properties: its head, then the file's identifier, then the file size.
constexpr qsizetype FileSizeOffset = ObjectHead + IdSize;

bool IdAt(const QByteArray& bytes, qsizetype at, const unsigned char (&id)[16]) {
    return at >= 0 && at + IdSize <= bytes.size() &&
           std::equal(id, id + IdSize,
                      reinterpret_cast<const unsigned char*>(bytes.constData()) + at);
}

quint64 Uint64At(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint64>(bytes.constData() + at);
}

} // namespace

std::optional<quint64> AsfDeclaredFileSize(const QByteArray& file) {
    if (file.size() < HeaderObjectHead || !IdAt(file, 0, HeaderId))
        return std::nullopt;
    const quint64 headerSize = Uint64At(file, IdSize);
    const quint64 headerEnd = std::min<quint64>(headerSize, static_cast<quint64>(file.size()));
    quint64 at = HeaderObjectHead;
    while (at + ObjectHead <= headerEnd) {
        const auto offset = static_cast<qsizetype>(at);
        const quint64 objectSize = Uint64At(file, offset + IdSize);
        if (IdAt(file, offset, FilePropertiesId)) {
            if (at + FileSizeOffset + 8 > static_cast<quint64>(file.size()))
                return std::nullopt;
            const quint64 size = Uint64At(file, offset + FileSizeOffset);
            // Zero: a live stream, whose size nobody knew.
            return size ? std::optional<quint64>(size) : std::nullopt;
        }
        if (objectSize < ObjectHead || objectSize > headerEnd - at)
            return std::nullopt;
        at += objectSize;
    }
    return std::nullopt;
}
