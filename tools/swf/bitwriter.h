#pragma once

#include <QByteArray>

#include <cstdint>

// The SWF file's two kinds of numbers: bit fields packed from the most significant bit of
// each byte on, and whole little-endian bytes, which always start on a byte boundary.
class BitWriter {
public:
    void WriteUnsigned(std::uint32_t value, int bits);
    // Two's complement in the given number of bits; the reader extends the top bit.
    void WriteSigned(std::int32_t value, int bits);
    // Pads the bit field in progress with zeros up to the next byte.
    void AlignToByte();

    void WriteUI8(std::uint8_t value);
    void WriteUI16(std::uint16_t value);
    void WriteUI32(std::uint32_t value);
    void WriteBytes(const QByteArray& bytes);

    // The bytes written so far; a bit field in progress is padded first.
    const QByteArray& Bytes();

private:
    QByteArray FBytes;
    std::uint8_t FPending = 0;
    int FPendingBits = 0;
};

// The fewest bits that hold value as an unsigned field (0 needs none).
int UnsignedBitCount(std::uint32_t value);
// The fewest bits that hold value as a signed field: one more than its magnitude needs,
// except that -1 fits in one bit and 0 in none.
int SignedBitCount(std::int32_t value);
