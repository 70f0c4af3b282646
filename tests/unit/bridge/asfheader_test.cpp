#include "bridge/asfheader.h"

#include <QtEndian>
#include <gtest/gtest.h>

namespace {

const QByteArray HeaderId = QByteArray::fromHex("3026B2758E66CF11A6D900AA0062CE6C");
const QByteArray FilePropertiesId = QByteArray::fromHex("A1DCAB8C47A9CF118EE400C00C205365");
const QByteArray OtherId = QByteArray::fromHex("B503BF5F2EA9CF118EE300C00C205365");

QByteArray Uint64(quint64 value) {
    QByteArray bytes(8, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

// An object: its identifier, its size (head included) and its body.
QByteArray Object(const QByteArray& id, const QByteArray& body, qint64 sizeShift = 0) {
    return id + Uint64(static_cast<quint64>(24 + body.size() + sizeShift)) + body;
}

QByteArray FileProperties(quint64 fileSize) {
    return Object(FilePropertiesId, QByteArray(16, 'F') + Uint64(fileSize) + QByteArray(56, '\0'));
}

// The header object around the given objects, then some packet bytes.
QByteArray Asf(const QByteArray& objects, qint64 sizeShift = 0) {
    const QByteArray body = QByteArray::fromHex("0200000001 02") + objects;
    return Object(HeaderId, body, sizeShift) + QByteArray(64, 'P');
}

struct SizeCase {
    const char* what;
    QByteArray file;
    std::optional<quint64> size;
};

TEST(AsfHeader, TheDeclaredFileSizeIsReadFromTheFilePropertiesOnly) {
    const SizeCase cases[] = {
        {"first object", Asf(FileProperties(123456)), 123456},
        {"after another object", Asf(Object(OtherId, QByteArray(46, 'x')) + FileProperties(999)),
         999},
        {"a live stream declares none", Asf(FileProperties(0)), std::nullopt},
        {"no file properties", Asf(Object(OtherId, QByteArray(46, 'x'))), std::nullopt},
        {"not an ASF file", QByteArray("RIFF....WAVEfmt ") + QByteArray(100, '\0'), std::nullopt},
        {"empty", QByteArray(), std::nullopt},
        {"only the header's identifier", HeaderId, std::nullopt},
        {"cut inside the file properties", Asf(FileProperties(5)).left(30 + 24 + 20), std::nullopt},
        {"an object of size zero stops the walk",
         Asf(Object(OtherId, QByteArray(46, 'x'), -70) + FileProperties(7)), std::nullopt},
        {"an object larger than the header", Asf(Object(OtherId, QByteArray(46, 'x'), 1000000)),
         std::nullopt},
        {"a header larger than the file", Asf(FileProperties(42), 1LL << 40), 42},
    };
    for (const SizeCase& c : cases)
        EXPECT_EQ(AsfDeclaredFileSize(c.file), c.size) << c.what;
}

} // namespace
